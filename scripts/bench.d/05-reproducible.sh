# Sourced by scripts/lib/bench-parts: whether the release package is reproducible. Needs
# git and no Wine, so it runs outside the WoW64 root for x86 too.
# Two clones of the last commit in different folders, packaged one after the other: their
# zips and exes must be the same bytes.
repro=$(mktemp -d)
identical=1
for clone in "$repro/first" "$repro/second/clone"; do
  git clone -q "$ZYK_ROOT" "$clone"
  if ! "$clone/scripts/package" --arch "$arch" --out "$clone/dist" > "$clone.log" 2>&1; then
    zyk_say "packaging in $clone failed:"
    tail -n 20 "$clone.log"
    identical=0
  fi
done
if [ "$identical" -eq 1 ]; then
  cmp -s "$repro/first/dist/SHA256SUMS" "$repro/second/clone/dist/SHA256SUMS" || identical=0
  while read -r _ file; do
    cmp -s "$repro/first/dist/$file" "$repro/second/clone/dist/$file" || identical=0
  done < "$repro/first/dist/SHA256SUMS"
fi
package=$(sed -n 's/^[0-9a-f]*  \(.*\.zip\)$/\1/p' "$repro/first/dist/SHA256SUMS" 2>/dev/null)
echo "reproducible package=${package:-none} arch=$arch build=release identical=$identical"
rm -rf "$repro"
