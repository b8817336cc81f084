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
source "$(dirname "$0")/../e2e/x_session.sh"

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
    shot first
    holds "$(whiteFraction first) < 0.02" || fail "textures not found"
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
    key F1
    sleep 1
    ;;
*) fail "unknown scenario $scenario" ;;
esac
stopWithF4
echo "[$scenario] passed"
