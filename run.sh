#!/usr/bin/env bash
# Tessivox developer entry point.
#   ./run.sh start   build Tessivox and start it under Wine
#   ./run.sh test    build everything and run all tests
#   ./run.sh bench   build and run the benchmarks (--quick: smaller sizes)
#   ./run.sh package build the release zip build/Tessivox-<version>-win64.zip
# Each command first installs what is missing (Debian 12, as root).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
# TESSIVOX_BUILD and TESSIVOX_NATIVE let several checkouts of work build side by side.
BUILD="${TESSIVOX_BUILD:-$ROOT/build}"
NATIVE="${TESSIVOX_NATIVE:-$ROOT/build-native}"
export WINEPREFIX="$BUILD/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

log() { printf '== %s\n' "$*"; }

# Installs what the build and the tests need; "start" also wants a screenshot
# tool, the tests and the benchmarks the writers of camera files.
install_missing() {
    local need=()
    command -v x86_64-w64-mingw32-g++-posix >/dev/null ||
        need+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64)
    command -v wine >/dev/null || need+=(wine wine64)
    command -v wine64 >/dev/null || [ -x /usr/lib/wine/wine64 ] || need+=(wine64)
    command -v Xvfb >/dev/null || need+=(xvfb)
    command -v cmake >/dev/null || need+=(cmake)
    command -v ninja >/dev/null || need+=(ninja-build)
    command -v g++ >/dev/null || need+=(g++)
    [ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
    # The photo date tests write their photos with Pillow (for Debian's python3) and heif-enc.
    [ -f /usr/lib/python3/dist-packages/PIL/Image.py ] || need+=(python3-pil)
    command -v heif-enc >/dev/null || need+=(libheif-examples)
    if [ "${1:-}" = camera ]; then
        # Movies, PNG and WebP with camera dates are written by ffmpeg and
        # ExifTool, which also reads the dates the tests expect.
        command -v ffmpeg >/dev/null || need+=(ffmpeg)
        command -v exiftool >/dev/null || need+=(libimage-exiftool-perl)
    fi
    if [ "${1:-}" = screenshot ]; then
        command -v import >/dev/null || need+=(imagemagick)
        command -v xdotool >/dev/null || need+=(xdotool)
        [ -f /usr/share/wine/fonts/marlett.ttf ] || need+=(fonts-wine)
    fi
    [ ${#need[@]} -eq 0 ] && return 0
    log "installing: ${need[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}" >/dev/null
}

# Builds everything, or only the targets given.
build_windows() {
    log "building for Windows in $BUILD"
    cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build "$BUILD" ${1:+--target "$@"}
}

build_native() {
    log "building the portable logic natively with sanitizers in $NATIVE"
    cmake -S "$ROOT/tests/native" -B "$NATIVE" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$NATIVE"
}

XVFB_PID=""
OWN_WINESERVER=""
ensure_display() {
    if [ -n "${DISPLAY:-}" ]; then return 0; fi
    local n
    for n in $(seq 87 120); do
        [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
    done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    log "virtual display $DISPLAY"
}

ensure_prefix() {
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "creating the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
}

# A persistent wineserver keeps Wine's own services alive between test programs.
# They are started here, away from CTest's output pipes, which they would
# otherwise inherit and hold open after a test has ended.
start_wineserver() {
    trap cleanup EXIT
    # One may be running already for this prefix: it serves as well, and its
    # owner stops it.
    if wineserver -p; then OWN_WINESERVER=1; fi
    wine wineboot >/dev/null 2>&1 </dev/null || true
}
cleanup() {
    [ -n "$OWN_WINESERVER" ] && wineserver -k >/dev/null 2>&1 || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" >/dev/null 2>&1 || true
}

cmd="${1:-}"
case "$cmd" in
start)
    install_missing screenshot
    build_windows
    had_display="${DISPLAY:-}"
    ensure_display
    ensure_prefix
    start_wineserver
    app="$BUILD/Tessivox/tessivox.exe"
    # Debian's Wine does not find its own fonts, so the caption buttons' font
    # (Marlett) goes into the prefix, or the buttons show "0 1 r".
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    if [ -n "$had_display" ]; then
        log "starting $app"
        wine "$app"
    else
        log "no display: running Tessivox on $DISPLAY and taking a screenshot"
        # A Wine desktop window draws the frames that a window manager would.
        wine explorer /desktop=Tessivox,780x500 "$app" &
        sleep 8
        # Wine activates the first window before its program is in the
        # foreground and paints the title bar inactive; a click on the desktop
        # and one on the title bar give it the look of an active window.
        xdotool mousemove 700 450 click 1 sleep 0.5 mousemove 300 10 click 1 mousemove 779 499
        sleep 1
        shot="$BUILD/tessivox-screenshot.png"
        import -display "$DISPLAY" -window root -crop 780x500+0+0 +repage "$shot"
        wineserver -k >/dev/null 2>&1 || true
        log "screenshot of the running program: $shot"
    fi
    ;;
test)
    install_missing camera
    build_native
    log "native tests"
    (cd "$NATIVE" && ctest --output-on-failure)
    build_windows
    ensure_display
    ensure_prefix
    start_wineserver
    log "Windows tests under Wine"
    (cd "$BUILD" && ctest --output-on-failure)
    ;;
bench)
    install_missing camera
    build_windows
    ensure_display
    ensure_prefix
    start_wineserver
    shift
    for b in "$BUILD"/bench/*.exe; do log "$(basename "$b")"; wine "$b" "$@"; done
    ;;
package)
    install_missing
    build_windows tessivox
    log "packing the program folder with CPack"
    (cd "$BUILD" && cpack -G ZIP >/dev/null)
    log "release: $(ls "$BUILD"/Tessivox-*-win64.zip)"
    ;;
*)
    echo "usage: $0 start|test|bench [--quick]|package" >&2
    exit 2
    ;;
esac
