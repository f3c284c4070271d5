# Sourced by scripts/lib/bench-parts. The history window's measuring: its own share of the
# machine's capacity over 30 s (at most 2% allowed), and per processor the median of its values
# against a native Linux measurement of the same chains (bench/core_clock_native.cpp, built by
# 50-core-clock.sh) run beside it for as long, since the host changes the cores' clock from one
# moment to the next.
native="$ZYK_ROOT/build/host/core_clock_native"
history_seconds=30
zyk_say "history ($arch): ${history_seconds} s, load average $(cut -d' ' -f1-3 /proc/loadavg)"
figures=$(mktemp)
native_figures=$(mktemp)
native_pid=""
if [ -x "$native" ]; then
  "$native" "$history_seconds" > "$native_figures" &
  native_pid=$!
fi
"$ZYK_WINE" "$bin/bench/history_bench.exe" "$history_seconds" | tr -d '\r' | tee "$figures"
if [ -n "$native_pid" ]; then
  wait "$native_pid" || true
  awk '
    function field(name,   i) { for (i = 1; i <= NF; i++) if (index($i, name "=") == 1) return substr($i, length(name) + 2) }
    FNR == NR { if ($1 == "core_clock_native") native[field("processor")] = field("median_mhz"); next }
    $1 == "history" && (field("processor") in native) {
      k = field("processor"); p = field("median_mhz"); n = native[k]
      printf "history_ratio processor=%d history_mhz=%.2f native_mhz=%.2f ratio=%.4f\n", k, p, n, (n > 0 ? p / n : 0)
    }' "$native_figures" "$figures"
else
  zyk_say "history ($arch): no native program at $native, so no ratio"
fi
rm -f "$figures" "$native_figures"
