# Sourced by scripts/lib/bench-parts. The program as a whole: the time from process start
# until its dialog is visible (median of 5 starts), and how quickly the dialog answers a
# message sent from another process while a 950 ms x 4 test spins on every processor.
zyk_say "program ($arch): start-up and responsiveness during a test"
"$ZYK_WINE" "$bin/tests/ui/zyk_drive.exe" bench "$bin/app/Zyklomatrix.exe" 5 \
  || zyk_say "program benchmark failed"
