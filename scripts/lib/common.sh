# Shared steps of the project's scripts: packages, builds, a virtual display
# and a Wine prefix of the project's own. Sourced, never run.
#
# Two Wines run the programs: the machine's own (Debian's wine64, for x64
# programs) and Wine in WoW64 mode inside a Debian root under build/wow64
# (for x64 and x86 programs; see wow64.sh). zyk_use_host_wine and
# zyk_use_wow64_wine choose one; everything after that follows ZYK_WINE.

ZYK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
ZYK_PACKAGES="cmake ninja-build g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 googletest wine wine64 xvfb xauth
  x11-utils imagemagick fonts-wine mmdebstrap debian-archive-keyring util-linux gcc g++ zip"

zyk_say() { echo "[zyklomatrix] $*"; }

# Installs the Debian packages that are missing; silent when all are there.
zyk_install_deps() {
  local missing="" p
  for p in $ZYK_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
  done
  [ -z "$missing" ] && return 0
  zyk_say "installing:$missing"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# zyk_build <win64|win32> [extra cmake arguments...]
#
# Configures afresh whenever the configuration would differ from the one the
# build directory was made with (toolchain file, compilers, arguments), so a
# changed toolchain never leaves a stale build behind.
zyk_build() {
  local name=$1; shift
  local toolchain
  case $name in
    win64) toolchain=mingw-w64-x86_64.cmake ;;
    win32) toolchain=mingw-w64-i686.cmake ;;
    *) zyk_say "unknown build: $name"; return 2 ;;
  esac
  local dir="$ZYK_ROOT/build/$name"
  local args=(-G Ninja
    -DCMAKE_TOOLCHAIN_FILE="$ZYK_ROOT/cmake/$toolchain"
    -DCMAKE_CROSSCOMPILING_EMULATOR="$ZYK_ROOT/scripts/lib/wine-exec" "$@")
  # The x64 tests also read the x86 programs' images (tests/image).
  [ "$name" = win64 ] && args+=(-DZYK_X86_BUILD="$ZYK_ROOT/build/win32")
  local wanted
  wanted=$( {
    printf '%s\n' "${args[@]}"
    cat "$ZYK_ROOT/cmake/$toolchain" "$ZYK_ROOT/cmake/mingw-w64-common.cmake"
    cmake --version | head -n 1
  } | sha256sum | cut -d' ' -f1)
  if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$dir/.zyk-configured" 2>/dev/null)" != "$wanted" ]; then
    rm -rf "$dir"
    cmake -S "$ZYK_ROOT" -B "$dir" "${args[@]}" >/dev/null
    echo "$wanted" > "$dir/.zyk-configured"
  fi
  cmake --build "$dir" -- --quiet
}

# The machine's own Wine: Debian's 64-bit loader, x64 programs only.
zyk_use_host_wine() {
  export ZYK_WINE=/usr/lib/wine/wine64
  export ZYK_WINESERVER=/usr/lib/wine/wineserver64
  export WINEPREFIX="$ZYK_ROOT/build/wine/host"
}

# Wine in WoW64 mode, inside the Debian root (wow64.sh): x64 and x86 programs.
zyk_use_wow64_wine() {
  export ZYK_WINE=/usr/lib/x86_64-linux-gnu/wine/wine
  export ZYK_WINESERVER=/usr/lib/x86_64-linux-gnu/wine/wineserver
  export WINEPREFIX="$ZYK_ROOT/build/wine/wow64"
}

# One line naming the Wine in use, such as "Wine 8.0".
zyk_wine_name() {
  "$ZYK_WINE" --version 2>/dev/null | sed -n 's/^wine-\([0-9.]*\).*/Wine \1/p'
}

# Whether this machine can run 32-bit code in a 64-bit process, which Wine's
# WoW64 mode needs for every x86 program. When it cannot, prints why in a few
# words and fails.
zyk_can_run_32bit_code() {
  local probe="$ZYK_ROOT/build/compat32-probe"
  if [ ! -x "$probe" ] || [ "$probe" -ot "$ZYK_ROOT/scripts/lib/compat32-probe.c" ]; then
    mkdir -p "$ZYK_ROOT/build"
    cc -O2 -o "$probe" "$ZYK_ROOT/scripts/lib/compat32-probe.c" || { echo "the probe does not build"; return 1; }
  fi
  "$probe"
}

ZYK_STARTED_PIDS=""
ZYK_STARTED_NAMESPACES=""
ZYK_STARTED_WINESERVER=0

# Starts Xvfb on a display number it picks itself and exports DISPLAY.
# Fails, saying why, when the server does not come up.
zyk_start_display() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>"$fdfile.err" &
  local pid=$!
  ZYK_STARTED_PIDS="$ZYK_STARTED_PIDS $pid"
  local number="" i
  for i in $(seq 1 200); do
    number=$(tr -dc '0-9' <"$fdfile")
    [ -n "$number" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$number" ]; then
    zyk_say "Xvfb did not start: $(tail -n 1 "$fdfile.err" 2>/dev/null)"
    rm -f "$fdfile" "$fdfile.err"
    return 1
  fi
  rm -f "$fdfile" "$fdfile.err"
  export DISPLAY=":$number"
}

# Exports the Wine environment for the chosen Wine's prefix, creates and
# configures the prefix on first use (and again for another Wine version),
# and keeps one wineserver of that prefix running until zyk_stop_all.
zyk_start_wine() {
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINELOADER=$ZYK_WINE
  export WINESERVER=$ZYK_WINESERVER
  local ready
  ready="$("$ZYK_WINE" --version) settings 4"
  if [ "$(cat "$WINEPREFIX/.zyk-ready" 2>/dev/null)" != "$ready" ]; then
    zyk_say "creating the Wine prefix for $(zyk_wine_name)"
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    ZYK_STARTED_WINESERVER=1
    "$ZYK_WINE" wineboot -i >/dev/null 2>&1
    "$ZYK_WINESERVER" -w
    # No window manager runs on the virtual display: unmanaged windows spare
    # Wine its wait for one each time a top-level window is hidden. A crash
    # must fail a test, not wait for someone to close a dialog.
    cat > "$WINEPREFIX/drive_c/zyk.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\Fonts]
"Marlett (TrueType)"="marlett.ttf"
REG
    # Caption buttons are glyphs of the Marlett font: without it in the
    # prefix they are drawn as the letters "0 1 r".
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    "$ZYK_WINE" reg import 'C:\zyk.reg' >/dev/null 2>&1
    "$ZYK_WINESERVER" -w
    echo "$ready" > "$WINEPREFIX/.zyk-ready"
  fi
  ZYK_STARTED_WINESERVER=1
  "$ZYK_WINESERVER" -p
  # Start Wine's own background processes now, with their output going
  # nowhere: started by the first test instead, they would inherit that
  # test's output pipe and keep it open long after the test has ended.
  "$ZYK_WINE" wineboot >/dev/null 2>&1 </dev/null
}

# Stops everything this script started: the wineserver of its own prefix and
# the processes it launched, nothing else.
zyk_stop_all() {
  if [ "$ZYK_STARTED_WINESERVER" -eq 1 ]; then
    "$ZYK_WINESERVER" -k >/dev/null 2>&1 || true
    ZYK_STARTED_WINESERVER=0
  fi
  local pid
  for pid in $ZYK_STARTED_PIDS; do kill "$pid" 2>/dev/null || true; done
  # A namespace's runner passes no signal on but SIGKILL, which ends every
  # process inside with it (wow64.sh).
  for pid in $ZYK_STARTED_NAMESPACES; do kill -KILL "$pid" 2>/dev/null || true; done
  for pid in $ZYK_STARTED_PIDS $ZYK_STARTED_NAMESPACES; do wait "$pid" 2>/dev/null || true; done
  ZYK_STARTED_PIDS=""
  ZYK_STARTED_NAMESPACES=""
}

# zyk_capture_held <output file> <pid> <hold file> <png file>
#
# For a program that prints "dialog: x y width height" once its dialog shows
# what is wanted, then holds the dialog open until <hold file> exists: waits
# for that line while <pid> runs, takes a picture of that part of the display
# until two in a row are the same (the last paint may still be on its way to
# the X server), saves it as <png file> and creates the hold file. Fails when
# the line never comes; the hold file is created either way.
zyk_capture_held() {
  local out=$1 pid=$2 hold=$3 png=$4
  local geometry="" i
  for i in $(seq 1 1200); do
    geometry=$(sed -n 's/^dialog: //p' "$out" | tr -d '\r')
    [ -n "$geometry" ] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  if [ -z "$geometry" ]; then
    touch "$hold"
    return 1
  fi
  local x y width height shots
  read -r x y width height <<<"$geometry"
  shots=$(mktemp -d)
  for i in $(seq 1 40); do
    import -window root -crop "${width}x${height}+${x}+${y}" +repage "$shots/shot.png"
    if [ -f "$shots/last.png" ] && cmp -s <(convert "$shots/shot.png" rgb:-) <(convert "$shots/last.png" rgb:-); then
      break
    fi
    mv "$shots/shot.png" "$shots/last.png"
  done
  [ -f "$shots/shot.png" ] || mv "$shots/last.png" "$shots/shot.png"
  mv "$shots/shot.png" "$png"
  rm -rf "$shots"
  touch "$hold"
}

# zyk_run_suite <note> <build name>...
#
# Runs every test program of the given builds with the Wine in use and
# appends one line per build to $ZYK_SUMMARY: how many test programs passed,
# with <note> after the Wine's name. Returns non-zero when any failed or none
# ran.
zyk_run_suite() {
  local note=$1; shift
  local wine
  wine="$(zyk_wine_name)$note"
  local status=0 name arch log failed total
  for name in "$@"; do
    case $name in win64) arch=x64 ;; win32) arch=x86 ;; esac
    log=$(mktemp)
    zyk_say "$arch test programs on $wine"
    ctest --test-dir "$ZYK_ROOT/build/$name" --output-on-failure --timeout 600 2>&1 | tee "$log" || true
    total=$(sed -n 's/.* tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
    failed=$(sed -n 's/.* \([0-9]*\) tests failed out of.*/\1/p' "$log" | tail -n 1)
    rm -f "$log"
    if [ -z "$total" ] || [ -z "$failed" ] || [ "$total" -eq 0 ]; then
      echo "$arch on $wine: no test program ran" >> "$ZYK_SUMMARY"
      status=1
      continue
    fi
    echo "$arch on $wine: $((total - failed)) of $total test programs passed" >> "$ZYK_SUMMARY"
    [ "$failed" -eq 0 ] || status=1
  done
  return $status
}
