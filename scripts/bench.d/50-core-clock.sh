# Sourced by scripts/lib/bench-parts. The clock the cores run at: per processor, the median and
# spread of the program's core clocks over 10 tests of the workers, the same measured on one
# thread and scaled by the kernel's time-stamp-counter rate (the first "cpu MHz" of
# /proc/cpuinfo) rather than by the workers' time-stamp figures, the time one measurement
# takes, and the ratio of each median to a native Linux measurement of the same chains with the
# same scheme (bench/core_clock_native.cpp). The native program is built here with the
# machine's g++ into build/host; inside the WoW64 root, which has no compiler, the one built for
# the x64 figures is used. A virtual machine's host changes the cores' clock from one moment to
# the next, so the native program measures beside the program, for as long as it does, in each
# of six turns, and the ratio compares the medians of their turns.
native="$ZYK_ROOT/build/host/core_clock_native"
if command -v g++ >/dev/null; then
  mkdir -p "$ZYK_ROOT/build/host"
  g++ -std=c++17 -O2 -static -pthread -I"$ZYK_ROOT" -o "$native" "$ZYK_ROOT/bench/core_clock_native.cpp" \
    "$ZYK_ROOT"/measure/{dependent_chain,chain_timing,cycles_per_link}.cpp "$ZYK_ROOT"/processor/processor_instructions.cpp
fi
reference=$(awk -F: '/^cpu MHz/ { gsub(/[ \t]/, "", $2); print $2; exit }' /proc/cpuinfo)
zyk_say "core clock ($arch): 6 turns of 10 tests each, load average $(cut -d' ' -f1-3 /proc/loadavg)"
figures=$(mktemp)
core_seconds=7
for turn in 1 2 3 4 5 6; do
  turn_started=$(date +%s.%N)
  native_figures=$(mktemp)
  native_pid=""
  if [ -x "$native" ]; then
    "$native" "$core_seconds" > "$native_figures" &
    native_pid=$!
  fi
  "$ZYK_WINE" "$bin/bench/core_clock_bench.exe" 10 $reference | tr -d '\r' | tee -a "$figures"
  # The next turn's native measurement lasts as long as this turn's program took.
  core_seconds=$(awk -v from="$turn_started" -v to="$(date +%s.%N)" 'BEGIN { printf "%.1f", to - from }')
  if [ -n "$native_pid" ]; then
    wait "$native_pid" || true
    tee -a "$figures" < "$native_figures"
  fi
  rm -f "$native_figures"
done
if [ -x "$native" ]; then
  awk '
    function field(name,   i) { for (i = 1; i <= NF; i++) if (index($i, name "=") == 1) return substr($i, length(name) + 2) }
    function median(list,   n, a, i, j, t) {
      n = split(list, a, " ")
      for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
      return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    $1 == "core_clock" { workers[field("processor")] = workers[field("processor")] " " field("median_mhz") }
    $1 == "core_clock_thread" { thread[field("processor")] = thread[field("processor")] " " field("median_mhz") }
    $1 == "core_clock_native" { native[field("processor")] = native[field("processor")] " " field("median_mhz") }
    function ratio(figure, list, k,   p, n) {
      p = median(list); n = median(native[k])
      printf "core_clock_ratio processor=%d figure=%s program_mhz=%.2f native_mhz=%.2f ratio=%.4f\n", k, figure, p, n, (n > 0 ? p / n : 0)
    }
    END {
      for (k = 1; k in workers; k++) {
        if (!(k in native)) continue
        ratio("workers", workers[k], k)
        if (k in thread) ratio("thread", thread[k], k)
      }
    }' "$figures"
else
  zyk_say "core clock ($arch): no native program at $native, so no ratio"
fi
rm -f "$figures"
