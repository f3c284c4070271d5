# Sourced by scripts/lib/bench-parts: the size of the program as built for development and
# as released. Needs no Wine.
echo "size exe=Zyklomatrix.exe arch=$arch build=dev bytes=$(stat -c %s "$bin/app/Zyklomatrix.exe")"
echo "size exe=Zyklomatrix.exe arch=$arch build=release bytes=$(stat -c %s "$bin/release/app/Zyklomatrix.exe")"

