# Wine in WoW64 mode, for the x86 programs. Sourced after common.sh.
#
# Debian 12's 32-bit Wine cannot start where the kernel refuses 32-bit Linux
# programs, but Debian unstable's Wine runs 32-bit Windows code inside its
# 64-bit process (WoW64). It lives in a Debian unstable root made here with
# mmdebstrap from the machine's own Debian mirror, under build/wow64, and is
# remade only when the recipe below changes.
#
# The root is entered only inside a private mount and process namespace:
# every mount made for it (the project at its own path, /proc, /dev, /sys, a
# private /tmp) and every process started in it ends with the run, however
# the run ends, so nothing stays mounted under the project and
# `rm -rf build` is always safe.

ZYK_WOW64_DIR="$ZYK_ROOT/build/wow64"
ZYK_WOW64_PACKAGES="wine wine64 libwine xvfb xauth fonts-wine x11-utils cmake imagemagick"

# What the root is made of; a root made from another recipe is remade.
zyk_wow64_recipe() {
  printf '%s\n' \
    "suite: sid" \
    "variant: apt" \
    "packages: $ZYK_WOW64_PACKAGES" \
    'apt option: Acquire::Check-Valid-Until "false"'
}

# Prints the first Debian archive mirror named in this machine's apt sources,
# in either format; prints nothing when there is none.
zyk_debian_mirror() {
  {
    cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null |
      sed -n 's/^[[:space:]]*deb[[:space:]]\+\(\[[^]]*\][[:space:]]\+\)\{0,1\}\([^[:space:]]\+\).*/\2/p'
    cat /etc/apt/sources.list.d/*.sources 2>/dev/null | awk '
      BEGIN { RS = ""; FS = "\n" }
      {
        types = ""; uris = ""; enabled = "yes"
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^Types:/) types = $i
          if ($i ~ /^URIs:/) uris = $i
          if ($i ~ /^Enabled:/) enabled = $i
        }
        if (types ~ /[ \t]deb([ \t]|$)/ && enabled !~ /no/) {
          sub(/^URIs:[ \t]*/, "", uris)
          n = split(uris, list, /[ \t]+/)
          for (j = 1; j <= n; j++) print list[j]
        }
      }'
  } | sed 's,/*$,,' | grep -E '^(https?|file)://.*/debian$' | head -n 1
}

# Makes the root unless one of the current recipe is there. Says in one line
# why it cannot, and fails, where it cannot be made.
zyk_wow64_make() {
  local wanted
  wanted=$(zyk_wow64_recipe)
  if [ -x "$ZYK_WOW64_DIR/root/usr/bin/env" ] && [ "$(cat "$ZYK_WOW64_DIR/recipe" 2>/dev/null)" = "$wanted" ]; then
    return 0
  fi
  local why="x86 tests cannot run: the WoW64 Wine root cannot be made"
  if [ "$(id -u)" -ne 0 ]; then
    zyk_say "$why: making and entering it needs root"
    return 1
  fi
  if ! command -v mmdebstrap >/dev/null || ! command -v unshare >/dev/null; then
    zyk_say "$why: mmdebstrap or unshare is missing"
    return 1
  fi
  local mirror
  mirror=$(zyk_debian_mirror)
  if [ -z "$mirror" ]; then
    zyk_say "$why: no Debian mirror is named in this machine's apt sources"
    return 1
  fi
  zyk_say "making the WoW64 Wine root (Debian unstable) from $mirror"
  rm -rf "$ZYK_WOW64_DIR"
  mkdir -p "$ZYK_WOW64_DIR"
  # mmdebstrap mounts /proc, /sys and /dev into the root while it installs:
  # in a namespace of its own those mounts end with it, even if it is stopped.
  if ! unshare --mount --propagation private --fork --kill-child -- \
      mmdebstrap --mode=root --variant=apt \
        --aptopt='Acquire::Check-Valid-Until "false"' \
        --include="${ZYK_WOW64_PACKAGES// /,}" \
        sid "$ZYK_WOW64_DIR/root" \
        "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $mirror sid main" \
        >"$ZYK_WOW64_DIR/make.log" 2>&1; then
    zyk_say "$why: mmdebstrap failed ($(grep -m 1 -E '^E:' "$ZYK_WOW64_DIR/make.log" || tail -n 1 "$ZYK_WOW64_DIR/make.log"); log in build/wow64/make.log)"
    return 1
  fi
  echo "$wanted" > "$ZYK_WOW64_DIR/recipe"
}

# zyk_wow64_run <command> [arguments...]
#
# Runs a command of the project inside the root, with the project bound at its
# own path and a private /tmp, in the background of this shell so that
# zyk_stop_all can end it; waits for it and returns its status. With
# ZYK_HOST_X11 set, the host's X sockets are bound in as well, for a program
# shown on the user's own display.
zyk_wow64_run() {
  local root="$ZYK_WOW64_DIR/root"
  unshare --mount --pid --propagation private --fork --kill-child -- /bin/bash -c '
    set -e
    root=$1 project=$2; shift 2
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount --rbind /sys "$root/sys"
    mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
    if [ -n "${ZYK_HOST_X11:-}" ] && [ -d /tmp/.X11-unix ]; then
      mkdir -p "$root/tmp/.X11-unix"
      mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix"
    fi
    mkdir -p "$root$project"
    mount --bind "$project" "$root$project"
    cd "$root$project"
    exec chroot "$root" /usr/bin/env -i \
      PATH=/usr/local/bin:/usr/bin:/bin HOME=/root TERM="${TERM:-dumb}" LANG=C.UTF-8 \
      ${CI:+CI="$CI"} ${WINEDEBUG:+WINEDEBUG="$WINEDEBUG"} \
      ${ZYK_SUMMARY:+ZYK_SUMMARY="$ZYK_SUMMARY"} \
      ${ZYK_HOST_X11:+DISPLAY="$DISPLAY"} ${ZYK_HOST_X11:+XAUTHORITY="${XAUTHORITY:-}"} \
      /bin/bash -c "cd \"\$0\" && exec \"\$@\"" "$project" "$@"
  ' zyk-wow64 "$root" "$ZYK_ROOT" "$@" &
  local pid=$!
  ZYK_STARTED_NAMESPACES="$ZYK_STARTED_NAMESPACES $pid"
  local status=0
  wait "$pid" || status=$?
  ZYK_STARTED_NAMESPACES=${ZYK_STARTED_NAMESPACES/ $pid/}
  return $status
}
