# Sourced by scripts/lib/bench-parts: the size of the shipped program.
echo "size exe=Zyklomatrix.exe arch=$arch bytes=$(stat -c %s "$bin/app/Zyklomatrix.exe")"
