# Sourced by scripts/bench: the size of each shipped program, per build.
for build in win64:x64 win32:x86; do
  dir="$ZYK_ROOT/build/${build%%:*}"
  [ -d "$dir" ] || continue
  exe=$(find "$dir" -name Zyklomatrix.exe -type f -not -path '*/tests/*' -print -quit 2>/dev/null)
  [ -n "$exe" ] || continue
  echo "size exe=Zyklomatrix.exe arch=${build##*:} bytes=$(stat -c %s "$exe")"
done
