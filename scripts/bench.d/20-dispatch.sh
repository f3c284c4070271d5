# Sourced by scripts/lib/bench-parts. Message dispatch: a bound dialog and a bound window
# against plain procedures doing the same work, as a ratio measured in one run.
zyk_say "dispatch ($arch)"
"$ZYK_WINE" "$bin/bench/dispatch_bench.exe" 50000
