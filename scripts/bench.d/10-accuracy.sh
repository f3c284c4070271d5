# Sourced by scripts/lib/bench-parts: accuracy of the per-processor workers and of the
# estimator at several measuring windows, against the kernel's time-stamp-counter frequency
# (the first "cpu MHz" of /proc/cpuinfo): once on a machine at rest, and once beside two busy
# processes per processor, the load of an ordinary working day. Each line says which.
reference=$(awk -F: '/^cpu MHz/ { gsub(/[ \t]/, "", $2); print $2; exit }' /proc/cpuinfo)
if [ -z "$reference" ]; then
  zyk_say "accuracy: no cpu MHz in /proc/cpuinfo, nothing to compare with"
else
  # Busy-waits share the processors with whatever else runs: the load says how much.
  zyk_say "accuracy ($arch): reference ${reference} MHz, 20 runs per window, load average $(cut -d' ' -f1-3 /proc/loadavg)"
  "$ZYK_WINE" "$bin/bench/accuracy_bench.exe" "$reference" 20 50 100 500 950 | sed 's/$/ load=idle/'

  # Each busy process ends by itself after ten minutes at the latest, and is ended by its
  # process id as soon as the measurement is done, or when this part is stopped.
  busy=()
  zyk_stop_busy() { kill "${busy[@]}" 2>/dev/null || true; wait "${busy[@]}" 2>/dev/null || true; busy=(); }
  trap 'zyk_stop_busy' EXIT
  trap 'zyk_stop_busy; exit 130' INT TERM
  for _ in $(seq 1 $((2 * $(nproc)))); do
    timeout 600 sh -c 'while :; do :; done' &
    busy+=($!)
  done
  zyk_say "accuracy ($arch): ${#busy[@]} busy processes beside the measurement"
  "$ZYK_WINE" "$bin/bench/accuracy_bench.exe" "$reference" 20 50 100 500 950 | sed 's/$/ load=busy/'
  zyk_stop_busy
  trap - EXIT INT TERM
fi
