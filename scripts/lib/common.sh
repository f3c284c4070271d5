# Shared steps of the project's scripts: packages, builds, a virtual display
# and a Wine prefix of the project's own. Sourced, never run.

ZYK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
ZYK_WINE64=/usr/lib/wine/wine64
ZYK_WINE32=/usr/lib/wine/wine
ZYK_PACKAGES="cmake ninja-build g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 googletest wine wine64 xvfb xauth
  x11-utils imagemagick fonts-wine"

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
zyk_build() {
  local name=$1; shift
  local toolchain emulator
  case $name in
    win64) toolchain=mingw-w64-x86_64.cmake; emulator=$ZYK_WINE64 ;;
    win32) toolchain=mingw-w64-i686.cmake; emulator=$ZYK_WINE32 ;;
  esac
  local dir="$ZYK_ROOT/build/$name"
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$ZYK_ROOT" -B "$dir" -G Ninja \
      -DCMAKE_TOOLCHAIN_FILE="$ZYK_ROOT/cmake/$toolchain" \
      -DCMAKE_CROSSCOMPILING_EMULATOR="$emulator" "$@" >/dev/null
  fi
  cmake --build "$dir" -- --quiet
}

# Whether this machine can run 32-bit Windows programs under Wine.
zyk_can_run_x86() {
  [ -x "$ZYK_WINE32" ] || return 1
  local probe
  probe=$(find "$ZYK_ROOT/build/win32/tests" -name '*.exe' 2>/dev/null | head -n 1)
  [ -n "$probe" ] || return 1
  timeout 60 "$ZYK_WINE32" "$probe" --gtest_list_tests >/dev/null 2>&1
}

ZYK_STARTED_PIDS=""

# Starts Xvfb on a free display number and exports DISPLAY.
zyk_start_display() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  ZYK_STARTED_PIDS="$ZYK_STARTED_PIDS $!"
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n"
}

# Exports the Wine environment for the prefix under build/, creates and
# configures the prefix on first use, and keeps one wineserver running.
zyk_start_wine() {
  export WINEPREFIX="$ZYK_ROOT/build/wineprefix"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINELOADER=$ZYK_WINE64
  if [ ! -f "$WINEPREFIX/.zyk-ready-2" ]; then
    zyk_say "creating the Wine prefix"
    rm -rf "$WINEPREFIX"
    "$ZYK_WINE64" wineboot -i >/dev/null 2>&1
    wineserver -w
    # No window manager runs on the virtual display: unmanaged windows spare
    # Wine its wait for one each time a top-level window is hidden. A crash
    # must fail a test, not wait for someone to close a dialog.
    cat > "$WINEPREFIX/drive_c/zyk.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
    "$ZYK_WINE64" reg import 'C:\zyk.reg' >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.zyk-ready-2"
  fi
  wineserver -p
  # Start Wine's own background processes now, with their output going
  # nowhere: started by the first test instead, they would inherit that
  # test's output pipe and keep it open long after the test has ended.
  "$ZYK_WINE64" wineboot >/dev/null 2>&1 </dev/null
}

# Stops everything this script started.
zyk_stop_all() {
  if [ -n "${WINEPREFIX:-}" ]; then wineserver -k >/dev/null 2>&1 || true; fi
  local pid
  for pid in $ZYK_STARTED_PIDS; do kill "$pid" 2>/dev/null || true; done
  ZYK_STARTED_PIDS=""
}
