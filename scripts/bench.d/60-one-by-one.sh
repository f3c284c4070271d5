# Sourced by scripts/lib/bench-parts. Each processor's core clock all at once and one by one:
# the program's workers measure both ways, the two kinds of test alternating within one run,
# and beside them the same chains natively (bench/core_clock_native.cpp), each processor
# measured while it alone is busy and while every processor is. Four turns, each one test of
# each kind, then two seconds of each native case, so that a host that changes the cores'
# clock from one moment to the next shows in every column alike; then per processor the
# medians of the turns. A virtual machine's host may show no difference at all.
native="$ZYK_ROOT/build/host/core_clock_native"
if [ ! -x "$native" ] && command -v g++ >/dev/null; then
  mkdir -p "$ZYK_ROOT/build/host"
  g++ -std=c++17 -O2 -static -pthread -I"$ZYK_ROOT" -o "$native" "$ZYK_ROOT/bench/core_clock_native.cpp" \
    "$ZYK_ROOT"/measure/{dependent_chain,chain_timing,cycles_per_link}.cpp "$ZYK_ROOT"/processor/processor_instructions.cpp
fi
zyk_say "one by one ($arch): 4 turns, load average $(cut -d' ' -f1-3 /proc/loadavg)"
figures=$(mktemp)
for turn in 1 2 3 4; do
  "$ZYK_WINE" "$bin/bench/one_by_one_bench.exe" 1 | tr -d '\r' >> "$figures"
  if [ -x "$native" ]; then
    "$native" 2 >> "$figures"
    "$native" 2 all >> "$figures"
  fi
done
awk '
  function field(name,   i) { for (i = 1; i <= NF; i++) if (index($i, name "=") == 1) return substr($i, length(name) + 2) }
  function median(list,   n, a, i, j, t) {
    n = split(list, a, " ")
    for (i = 2; i <= n; i++) for (j = i; j > 1 && a[j - 1] + 0 > a[j] + 0; j--) { t = a[j]; a[j] = a[j - 1]; a[j - 1] = t }
    return n % 2 ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
  }
  $1 == "core_clock_order" && field("order") == "all_at_once" { all[field("processor")] = all[field("processor")] " " field("median_mhz") }
  $1 == "core_clock_order" && field("order") == "one_by_one" { one[field("processor")] = one[field("processor")] " " field("median_mhz") }
  $1 == "core_clock_native" { alone[field("processor")] = alone[field("processor")] " " field("median_mhz") }
  $1 == "core_clock_native_all" { busy[field("processor")] = busy[field("processor")] " " field("median_mhz") }
  $1 == "test_time" { ms[field("order")] = ms[field("order")] " " field("median_ms") }
  END {
    for (k = 1; k in all; k++) {
      a = median(all[k]); o = (k in one) ? median(one[k]) : 0
      printf "one_by_one processor=%d all_at_once_mhz=%.2f one_by_one_mhz=%.2f gain=%.4f", k, a, o, (a > 0 ? o / a : 0)
      if (k in alone) printf " native_alone_mhz=%.2f", median(alone[k])
      if (k in busy) printf " native_all_busy_mhz=%.2f", median(busy[k])
      printf "\n"
    }
    for (order in ms) printf "one_by_one_test_time order=%s median_ms=%.0f\n", order, median(ms[order])
  }' "$figures"
rm -f "$figures"
