# Shared by the scripts: build folder, an isolated Wine prefix and the session helpers.
# Sourced, not run.
RUK_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=-all
# Wine then runs with the en-US user locale: ANSI code page 1252, comma thousands, period decimals.
export LC_ALL=C.UTF-8
export LANG=C.UTF-8
unset WINELOADERNOEXEC

# The architecture the scripts build and run: i686, the deliverables' own, where this machine
# runs 32-bit code natively; x86_64 where it cannot (a kernel without 32-bit user code, or one
# whose 32-bit programs go through an emulator, which makes Wine some fifty times slower and
# unreliable). The sources are the same; RUK_ARCH=i686 or x86_64 chooses by hand.
ruk_native_32bit() {
  grep -qs '^enabled' /proc/sys/fs/binfmt_misc/qemu-i386 && return 1
  [ -x /usr/lib/wine/wine ] || return 1
  timeout 20 /usr/lib/wine/wine --version >/dev/null 2>&1
}

ruk_select_arch() {
  if [ -z "${RUK_ARCH:-}" ]; then
    if ruk_native_32bit; then RUK_ARCH=i686; else RUK_ARCH=x86_64; fi
  fi
  export RUK_ARCH
  if [ "$RUK_ARCH" = i686 ]; then
    RUK_BUILD=${RUK_BUILD:-$RUK_ROOT/build}
    RUK_TOOLCHAIN=$RUK_ROOT/cmake/mingw-i686.cmake
    export WINEARCH=win32
  else
    RUK_BUILD=${RUK_BUILD:-$RUK_ROOT/build64}
    RUK_TOOLCHAIN=$RUK_ROOT/cmake/mingw-x86_64.cmake
    export WINEARCH=win64
    # The 64-bit loader and server under the generic names, first on the path: the system's
    # commands would start the 32-bit loader first.
    mkdir -p "$RUK_BUILD/winebin"
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$RUK_BUILD/winebin/wine"
    printf '#!/bin/sh\nexec /usr/lib/wine/wineserver64 "$@"\n' >"$RUK_BUILD/winebin/wineserver"
    chmod +x "$RUK_BUILD/winebin/wine" "$RUK_BUILD/winebin/wineserver"
    case ":$PATH:" in *":$RUK_BUILD/winebin:"*) ;; *) export PATH="$RUK_BUILD/winebin:$PATH" ;; esac
  fi
  export WINEPREFIX=$RUK_BUILD/wineprefix
}

ruk_need_setup() {
  local c
  for c in i686-w64-mingw32-g++-posix x86_64-w64-mingw32-g++-posix wine wineserver Xvfb cmake ninja xwd; do
    command -v "$c" >/dev/null 2>&1 || return 0
  done
  [ -x /usr/bin/convert ] || return 0
  [ -d /usr/src/googletest/googletest ] || return 0
  [ -x /usr/lib/wine/wine64 ] || return 0
  # The documentation pages are read by the tests and some benchmarks only ("docs").
  if [ "${1:-}" = docs ]; then
    [ -d /usr/share/doc/python3.11/html ] || return 0
    [ -f /usr/share/doc/nodejs/api/all.html ] || return 0
  fi
  return 1
}

ruk_setup_if_needed() {
  if ruk_need_setup "$@"; then
    "$RUK_ROOT/scripts/setup" || return 1
  fi
  ruk_select_arch
}

# Every script configures the build folder alike, tests and benchmarks included, so that no
# script undoes another's configuration and makes the next one rebuild everything. A script
# that needs only some programs names them in RUK_TARGETS; without it everything is built.
ruk_build() {
  cmake -S "$RUK_ROOT" -B "$RUK_BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$RUK_TOOLCHAIN" "$@" -DRUK_BUILD_TESTS=ON -DRUK_BUILD_BENCH=ON \
    >"$RUK_BUILD.configure.log" 2>&1 \
    || { cat "$RUK_BUILD.configure.log"; return 1; }
  local targets=() t
  for t in ${RUK_TARGETS:-}; do targets+=(--target "$t"); done
  cmake --build "$RUK_BUILD" -j "${RUK_JOBS:-$(nproc)}" "${targets[@]}"
}

RUK_XVFB_PID=
RUK_STARTED_WINESERVER=

# Starts Xvfb when there is no display, and one persistent wineserver for the whole session.
ruk_session_start() {
  mkdir -p "$RUK_BUILD"
  if [ -z "${DISPLAY:-}" ] || [ "${RUK_FORCE_XVFB:-0}" = 1 ]; then
    local n
    for n in $(seq 90 140); do
      [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$RUK_BUILD/xvfb.log" 2>&1 &
    RUK_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
  fi
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating Wine prefix in $WINEPREFIX" >&2
    WINEDLLOVERRIDES="mscoree,mshtml=" wine wineboot --init </dev/null >"$RUK_BUILD/wineboot.log" 2>&1
    wineserver -w
  fi
  wineserver -p </dev/null >/dev/null 2>&1
  RUK_STARTED_WINESERVER=1
  if [ -n "$RUK_XVFB_PID" ]; then
    # Xvfb has no window manager: Wine then draws frames itself, and windows (message
    # boxes above all) appear and close without waiting for a manager that never answers.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  fi
}

ruk_session_stop() {
  if [ -n "$RUK_STARTED_WINESERVER" ]; then
    wineserver -k >/dev/null 2>&1
    wineserver -w >/dev/null 2>&1
    RUK_STARTED_WINESERVER=
  fi
  if [ -n "$RUK_XVFB_PID" ]; then
    kill "$RUK_XVFB_PID" 2>/dev/null
    wait "$RUK_XVFB_PID" 2>/dev/null
    RUK_XVFB_PID=
  fi
}
