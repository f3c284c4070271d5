# The program as a whole: the time from process start until its dialog is
# visible (median of 5 starts), and how quickly the dialog answers a message
# sent from another process while a 950 ms x 4 test spins on every processor.
zyk_say "program: start-up and responsiveness during a test"
"$ZYK_WINE64" "$ZYK_ROOT/build/win64/tests/ui/zyk_drive.exe" bench \
  "$ZYK_ROOT/build/win64/app/Zyklomatrix.exe" 5 | tr -d '\r' \
  || zyk_say "program benchmark failed"
