#!/usr/bin/env bash
# The window program as installed and as started in a hostile setting, each in its own Xvfb.
# Usage: program_e2e.sh SCENARIO BUILD_DIR OUT_DIR
#   installed       `cmake --install` into a temporary prefix; its launcher, started from another
#                   folder, opens the window with meshes and textures found; F4 exits 0
#   closedStreams   orva started with standard output closed (`orva >&-`): F1 prints the
#                   help into nothing (not into the X connection) and F4 still exits 0
#   hostileData     data files that are pipes, and a sparse image declaring 2 GiB: start-up
#                   neither blocks nor holds the image's memory, and the mesh message appears
set -euo pipefail

scenario="$1"
build="$(cd "$2" && pwd)"
out="$3"
mkdir -p "$out"
work="$(mktemp -d)"
xvfbPid=""
orvaPid=""

cleanup() {
    if [ -n "$orvaPid" ]; then kill "$orvaPid" 2>/dev/null || true; fi
    if [ -n "$xvfbPid" ]; then kill "$xvfbPid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL [$scenario]: $*" >&2
    cat "$work/stdout.txt" "$work/stderr.txt" >&2 2>/dev/null || true
    exit 1
}
note() { echo "[$scenario] $*"; }

startX() {
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfbPid=$!
    exec 3>&-
    for _ in $(seq 100); do
        [ -s "$work/display" ] && break
        sleep 0.1
    done
    [ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    DISPLAY=":$(cat "$work/display")"
    export DISPLAY
}

# Waits for a window named after the program and keeps its id in wid.
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

scenarioInstalled() {
    local prefix="$work/prefix"
    cmake --install "$build" --prefix "$prefix" >"$work/install.log" || fail "install failed"
    for file in bin/orva bin/orva-gait bin/orva-assets share/applications/orva-walker.desktop \
        share/icons/hicolor/scalable/apps/orva-walker.svg; do
        [ -f "$prefix/$file" ] || fail "$file not installed"
    done
    [ "$(ls "$prefix/share/orva-walker/data" | wc -l)" -eq 11 ] || fail "data files not installed"
    (cd / && exec "$prefix/bin/orva-walker") >"$work/stdout.txt" 2>"$work/stderr.txt" &
    orvaPid=$!
    waitWindow
    [ ! -s "$work/stdout.txt" ] || fail "a data file was not found"
    import -silent -window "$wid" "$work/shot.png"
    local white
    white="$(convert "$work/shot.png" -colorspace Gray -threshold 99% -format '%[fx:mean]' info:)"
    awk "BEGIN { exit !($white < 0.02) }" || fail "frame is $white white: textures not found"
    note "the launcher started from / finds meshes and textures"
    stopWithF4
}

scenarioClosedStreams() {
    (cd "$build/data" && exec "$build/orva" >&-) &
    orvaPid=$!
    waitWindow
    xdotool key F1
    sleep 1
    stopWithF4
    note "F1 and F4 work with standard output closed"
}

scenarioHostileData() {
    mkdir "$work/data"
    cp "$build"/data/*.3ds "$build"/data/*.tga "$work/data/"
    rm "$work/data/basicpiece.3ds" "$work/data/Ground2.tga" "$work/data/Sky2.tga"
    mkfifo "$work/data/basicpiece.3ds" "$work/data/Ground2.tga"
    # 32768 x 16384 pixels of 32 bits: 2 GiB declared, a few kilobytes on disk.
    printf '\0\0\2\0\0\0\0\0\0\0\0\0\0\200\0\100\40\0' >"$work/data/Sky2.tga"
    truncate -s $((18 + 2 * 1024 * 1024 * 1024)) "$work/data/Sky2.tga"
    (cd "$work/data" && exec "$build/orva") >"$work/stdout.txt" 2>"$work/stderr.txt" &
    orvaPid=$!
    waitWindow
    local expected="Error - Unable to find the file: basicpiece.3ds" peak
    [ "$(cat "$work/stdout.txt")" = "$expected" ] || fail "expected the line '$expected'"
    peak="$(awk '/^VmHWM/ { print $2 }' "/proc/$orvaPid/status")"
    [ "$peak" -lt 600000 ] || fail "start-up took $peak kB for an image it cannot upload"
    note "pipes refused, the huge image refused before allocation (peak $peak kB)"
    stopWithF4
}

startX
case "$scenario" in
installed) scenarioInstalled ;;
closedStreams) scenarioClosedStreams ;;
hostileData) scenarioHostileData ;;
*) fail "unknown scenario $scenario" ;;
esac
note "passed"
