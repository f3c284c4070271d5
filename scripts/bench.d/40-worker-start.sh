# Sourced by scripts/lib/bench-parts. How long the dialog thread is busy starting one test's
# workers on a faked machine of 256 processors in four groups; it must stay well below the
# 50 ms a person notices.
zyk_say "worker start ($arch)"
"$ZYK_WINE" "$bin/bench/worker_start_bench.exe" 256 9
