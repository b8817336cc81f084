#!/usr/bin/env bash
# The window program as installed, and started in a hostile setting, each in its own Xvfb.
# Usage: program_e2e.sh SCENARIO BUILD_DIR
#   installed     `cmake --install` into a temporary prefix; its launcher, started from another
#                 folder, opens the window with meshes and textures found; F4 exits 0
#   hostileStart  standard output closed (`orva >&-`), data files that are pipes and a sparse
#                 image declaring 2 GiB: start-up neither blocks nor holds the image's memory,
#                 F1 prints the help into nothing (not into the X connection) and F4 exits 0
set -euo pipefail
scenario="$1"
build="$(cd "$2" && pwd)"
work="$(mktemp -d)"
xvfbPid=""
orvaPid=""
trap 'kill $orvaPid $xvfbPid 2>/dev/null; rm -rf "$work"' EXIT

fail() {
    echo "FAIL [$scenario]: $*" >&2
    cat "$work/out.txt" >&2 2>/dev/null || true
    exit 1
}

startX() {
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp >/dev/null 2>&1 &
    xvfbPid=$!
    exec 3>&-
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    export DISPLAY=":$(cat "$work/display")"
}

# Waits for the program's window (its id in wid) and a few frames.
waitWindow() {
    wid=""
    for _ in $(seq 300); do
        wid="$(xdotool search --name 'orva$' 2>/dev/null | head -1 || true)"
        [ -n "$wid" ] && break
        kill -0 "$orvaPid" 2>/dev/null || fail "the program ended at start-up"
        sleep 0.1
    done
    [ -n "$wid" ] || fail "no window"
    xdotool mousemove 200 200
    sleep 1
}

stopWithF4() {
    xdotool key F4
    local status=0
    timeout 20 tail --pid="$orvaPid" -f /dev/null || fail "F4 did not end the program"
    wait "$orvaPid" || status=$?
    orvaPid=""
    [ "$status" -eq 0 ] || fail "F4 ended the program with status $status"
}

startX
case "$scenario" in
installed)
    prefix="$work/prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null || fail "install failed"
    for file in orva-gait orva-assets ../share/applications/orva-walker.desktop \
        ../share/icons/hicolor/scalable/apps/orva-walker.svg; do
        [ -f "$prefix/bin/$file" ] || fail "$file not installed"
    done
    (cd / && exec "$prefix/bin/orva-walker") >"$work/out.txt" 2>&1 &
    orvaPid=$!
    waitWindow
    [ ! -s "$work/out.txt" ] || fail "a data file was not found"
    import -silent -window "$wid" "$work/shot.png"
    white="$(convert "$work/shot.png" -colorspace Gray -threshold 99% -format '%[fx:mean]' info:)"
    awk "BEGIN { exit !($white < 0.02) }" || fail "frame is $white white: textures not found"
    ;;
hostileStart)
    mkdir "$work/data"
    cp "$build"/data/* "$work/data/"
    rm "$work/data/basicpiece.3ds" "$work/data/Ground2.tga"
    mkfifo "$work/data/basicpiece.3ds" "$work/data/Ground2.tga"
    # 32768 x 16384 pixels of 32 bits: 2 GiB declared, a few kilobytes on disk.
    printf '\0\0\2\0\0\0\0\0\0\0\0\0\0\200\0\100\40\0' >"$work/data/Sky2.tga"
    truncate -s $((18 + 2 * 1024 * 1024 * 1024)) "$work/data/Sky2.tga"
    (cd "$work/data" && exec "$build/orva" >&-) &
    orvaPid=$!
    waitWindow
    peak="$(awk '/^VmHWM/ { print $2 }' "/proc/$orvaPid/status")"
    [ "$peak" -lt 600000 ] || fail "start-up took $peak kB for an image it cannot upload"
    xdotool key F1
    sleep 1
    ;;
*) fail "unknown scenario $scenario" ;;
esac
stopWithF4
echo "[$scenario] passed"
