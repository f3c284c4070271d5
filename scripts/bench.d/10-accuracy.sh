# Sourced by scripts/lib/bench-parts: accuracy of the per-processor workers and of the
# estimator at several measuring windows, against the kernel's time-stamp-counter frequency
# (the first "cpu MHz" of /proc/cpuinfo).
reference=$(awk -F: '/^cpu MHz/ { gsub(/[ \t]/, "", $2); print $2; exit }' /proc/cpuinfo)
if [ -z "$reference" ]; then
  zyk_say "accuracy: no cpu MHz in /proc/cpuinfo, nothing to compare with"
else
  # Busy-waits share the processors with whatever else runs: the load says how much.
  zyk_say "accuracy ($arch): reference ${reference} MHz, 20 runs per window, load average $(cut -d' ' -f1-3 /proc/loadavg)"
  "$ZYK_WINE" "$bin/bench/accuracy_bench.exe" "$reference" 20 50 100 500 950
fi
