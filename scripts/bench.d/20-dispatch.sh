# Message dispatch: a bound dialog and a bound window against plain
# procedures doing the same work, as a ratio measured in one run.
zyk_say "dispatch (x64)"
"$ZYK_WINE64" "$ZYK_ROOT/build/win64/bench/dispatch_bench.exe" 50000 | tr -d '\r'
