#!/usr/bin/env bash
# End-to-end checks of the real orva window in its own Xvfb server, driven with xdotool and
# watched through screenshots (ImageMagick) and the window probe of bench/.
# Usage: window_e2e.sh SCENARIO ORVA DATA_DIR OUT_DIR PROBE
#   textured     the data folder as built: title, place and size, textures, walking, help, exit
#   plainWalls   walls and top without textures: the robot in the middle, plain faces, F2,
#                arrows, mouse-look with the window away from the screen corner
#   missingMesh  no "basicpiece.3ds": one message, and the program runs on
#   lab          no textures: pacing, gait keys, pause, single step, camera views, panel, F12
set -euo pipefail

scenario="$1"
orva="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
data="$(cd "$3" && pwd)"
out="$4"
probe="$5"
work="$(mktemp -d)"
xvfbPid="" orvaPid="" wid=""

cleanup() {
    if [ -n "$orvaPid" ]; then kill "$orvaPid" 2>/dev/null || true; fi
    if [ -n "$xvfbPid" ]; then kill "$xvfbPid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL [$scenario]: $*" >&2
    mkdir -p "$out/failed-$scenario" # the shots, for a look at what went wrong
    cp "$work"/*.png "$out/failed-$scenario/" 2>/dev/null || true
    cat "$work/stdout.txt" "$work/stderr.txt" >&2 2>/dev/null || true
    exit 1
}
note() { echo "[$scenario] $*"; }
holds() { awk "BEGIN { exit !($1) }"; } # arithmetic on decimals

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
    export DISPLAY=":$(cat "$work/display")"
}

# Starts orva in the folder, with the probe when asked, and waits for its window and a few
# frames. The pointer is left at the window's centre: keys go to the window under it.
startOrva() { # folder [probe]
    local preload=""
    if [ -n "${2:-}" ]; then preload="$probe"; fi
    (cd "$1" && ORVA_PROBE_OUT="$work/probe.txt" LD_PRELOAD="$preload" \
        ORVA_PROBE_STATS="$(nm "$orva" | awk '$3 == "walkStats" { print $1 }')" exec "$orva") \
        >"$work/stdout.txt" 2>"$work/stderr.txt" &
    orvaPid=$!
    for _ in $(seq 300); do
        wid="$(xdotool search --name 'orva$' 2>/dev/null | head -1 || true)"
        [ -n "$wid" ] && break
        sleep 0.1
    done
    [ -n "$wid" ] || fail "no window"
    xdotool mousemove 200 200
    sleep 1
    kill -0 "$orvaPid" 2>/dev/null || fail "orva ended at start-up"
}

stopWithF4() {
    local status=0
    key F4
    timeout 20 tail --pid="$orvaPid" -f /dev/null || fail "F4 did not end the program"
    wait "$orvaPid" || status=$?
    orvaPid=""
    [ "$status" -eq 0 ] || fail "F4 ended the program with status $status"
}

key() { timeout 30 xdotool key --delay 1 "$@"; }
keyTimes() { timeout 60 xdotool key --delay 1 --repeat "$1" --repeat-delay 1 "$2"; }
shot() { import -silent -window "$wid" "$work/$1.png"; } # the window's drawing area
pointer() { xdotool getmouselocation | sed 's/x:\([0-9]*\) y:\([0-9]*\).*/\1 \2/'; }

waitPointer() { # x y: until mouse-look or a warp puts the pointer there
    for _ in $(seq 60); do
        [ "$(pointer)" = "$1 $2" ] && return 0
        sleep 0.05
    done
    return 1
}

waitOutput() { # lines: until orva has printed that many
    for _ in $(seq 100); do
        [ "$(wc -l <"$work/stdout.txt")" -ge "$1" ] && return 0
        sleep 0.05
    done
    return 1
}

difference() { # shot shot: normalised root-mean-square difference, 0..1
    local result
    result="$(compare -metric RMSE "$work/$1.png" "$work/$2.png" null: 2>&1 || true)"
    result="${result#*(}"
    echo "${result%)*}"
}

whiteFraction() { # shot [geometry]: pure white, the clear colour and untextured faces
    convert "$work/$1.png" -crop "${2:-400x400+0+0}" +repage -colorspace Gray -threshold 99% \
        -format '%[fx:mean]' info:
}

# Non-white pixels: count, centroid x and y, bounding box x0 x1 y0 y1 ("0" alone when none).
inkStats() { # shot [geometry]
    convert "$work/$1.png" -crop "${2:-400x400+0+0}" +repage -colorspace Gray -threshold 90% \
        -depth 8 txt:- |
        awk -F'[,: ]+' 'NR > 1 && $0 ~ /#000000/ {
            n++; sx += $1; sy += $2
            if (n == 1 || $1 < x0) x0 = $1; if ($1 > x1) x1 = $1
            if (n == 1 || $2 < y0) y0 = $2; if ($2 > y1) y1 = $2
        }
        END { if (n == 0) print 0; else printf "%d %.2f %.2f %d %d %d %d\n", n, sx / n, sy / n, x0, x1, y0, y1 }'
}

dataWithout() { # files: a copy of the data folder without them
    mkdir -p "$work/data"
    cp "$data"/* "$work/data/"
    for f in "$@"; do rm "$work/data/$f"; done
}

scenarioTextured() {
    startOrva "$data"
    [ "$(xdotool getwindowname "$wid")" = "$orva" ] || fail "title is not the invocation path"
    xdotool getwindowgeometry "$wid" | tr '\n' ' ' | grep -q 'Position: 0,0 .*Geometry: 400x400' ||
        fail "window not 400x400 at the screen's corner"
    shot first
    holds "$(whiteFraction first) < 0.02" || fail "box textures missing"
    sleep 0.5
    shot later
    holds "$(difference first later) > 0.005" || fail "frames do not change as it walks"
    key F1
    waitOutput 14 || fail "no help text"
    # The checksum of the fourteen help lines, each ending in a line break.
    [ "$(cksum <"$work/stdout.txt")" = "2119759522 426" ] || fail "F1 help text differs"
    stopWithF4
}

scenarioPlainWalls() {
    dataWithout Back.tga Front.tga Left.tga Right.tga Top.tga
    startOrva "$work/data"
    local sky=400x180+0+0 ink # above the horizon: plain walls and the robot's upper body
    shot follow
    read -r -a ink <<<"$(inkStats follow $sky)"
    holds "${ink[0]} > 100 && ${ink[1]} > 170 && ${ink[1]} < 230" ||
        fail "robot not in the middle above the horizon: ${ink[*]}"
    holds "$(whiteFraction follow $sky) > 0.8" || fail "walls without texture are not plain"
    holds "$(whiteFraction follow 400x100+0+300) < 0.05" || fail "floor lost its texture"
    # Early, the free camera looks along its own heading (-z), away from the robot.
    key F2
    sleep 0.3
    shot free
    read -r -a ink <<<"$(inkStats free $sky)"
    [ "${ink[0]}" -lt 20 ] || fail "F2 did not leave the follow view"
    keyTimes 10 Up
    sleep 0.3
    shot freeMoved
    holds "$(difference free freeMoved) > 0.005" || fail "arrows do not move the free camera"

    # Pointer positions are the drawing area's: INSERT puts the pointer at (200, 200) of the
    # window, wherever it stands.
    xdotool windowmove "$wid" 150 100
    sleep 0.3
    shot beforeLook
    key Insert
    waitPointer 350 300 || fail "INSERT did not warp the pointer to the window's centre"
    xdotool mousemove 450 300
    waitPointer 350 300 || fail "mouse-look did not bring the pointer back to the centre"
    sleep 0.3
    shot afterLook
    holds "$(difference beforeLook afterLook) > 0.005" || fail "pointer move did not turn the view"
    key Insert
    waitPointer 350 300 || fail "INSERT did not warp the pointer"
    shot lookOff
    xdotool mousemove 450 380
    sleep 0.3
    [ "$(pointer)" = "450 380" ] || fail "pointer warped with mouse-look off"
    shot lookOffMoved
    holds "$(difference lookOff lookOffMoved) < 0.002" || fail "view turned with mouse-look off"
    stopWithF4
}

scenarioMissingMesh() {
    dataWithout basicpiece.3ds
    startOrva "$work/data"
    shot a
    sleep 1
    shot b
    [ "$(cat "$work/stdout.txt")" = "Error - Unable to find the file: basicpiece.3ds" ] ||
        fail "expected the one message, got: $(cat "$work/stdout.txt")"
    holds "$(difference a b) > 0.001" || fail "frames stopped changing"
    stopWithF4
}

scenarioLab() {
    dataWithout Ground2.tga Sky2.tga Mountains.tga Back.tga Front.tga Left.tga Right.tga \
        Top.tga Bottom.tga
    startOrva "$work/data" probe
    mark() { kill -USR1 "$orvaPid"; } # the probe's snapshot of time, frames and the walk
    key r
    sleep 1
    mark
    sleep 4
    mark
    key x x z # together: the walk goes one length level at a time, keys are not lost
    sleep 6
    mark
    sleep 4
    mark

    key p
    sleep 0.5
    shot paused
    sleep 0.5
    shot stillPaused
    holds "$(difference paused stillPaused) == 0" || fail "p does not freeze the frame"
    key o
    sleep 0.3
    shot stepped
    holds "$(difference stillPaused stepped) > 0" || fail "o does not move the frame"
    local ink
    key c
    sleep 0.3
    shot sideOn
    read -r -a ink <<<"$(inkStats sideOn)"
    holds "${ink[0]} > 500 && ${ink[3]} > 0 && ${ink[4]} < 399 && ${ink[5]} > 0 && ${ink[6]} < 399" ||
        fail "side-on view does not show the whole robot: ${ink[*]}"
    key c
    sleep 0.3
    shot aimed
    read -r -a ink <<<"$(inkStats aimed)"
    holds "${ink[1]} > 150 && ${ink[1]} < 250 && ${ink[2]} > 100 && ${ink[2]} < 300" ||
        fail "the free camera is not aimed at the robot: ${ink[*]}"
    key h
    sleep 0.3
    shot panel
    holds "$(difference aimed panel) > 0.05" || fail "h does not show the panel"
    key F12
    waitOutput 1 || fail "F12 printed nothing"
    [ "$(cat "$work/stdout.txt")" = "Saved orva-0001.png" ] || fail "F12 printed $(cat "$work/stdout.txt")"
    cp "$work/data/orva-0001.png" "$work/saved.png"
    [ "$(identify -format %wx%h "$work/saved.png")" = 400x400 ] || fail "screenshot not 400x400"
    holds "$(difference panel saved) < 0.01" || fail "the screenshot is not the window's picture"
    stopWithF4

    local figures f
    figures="$(awk -F'[ =]' '/^snapshot/ { k++; for (j = 2; j < NF; j += 2) v[k, $j] = $(j + 1) }
        END { s = (v[2, "wall"] - v[1, "wall"]) / 1e9
              speed1 = (v[2, "distance"] - v[1, "distance"]) / (v[2, "increments"] - v[1, "increments"])
              speed2 = (v[4, "distance"] - v[3, "distance"]) / (v[4, "increments"] - v[3, "increments"])
              printf "%.3f %.3f %.1f %.2f", (v[2, "increments"] - v[1, "increments"]) * 0.0075 / s,
                     (v[2, "cpu"] - v[1, "cpu"]) / 1e9 / s, (v[2, "frames"] - v[1, "frames"]) / s,
                     speed2 / speed1 }' "$work/probe.txt")"
    read -r -a f <<<"$figures"
    note "paced: ${f[0]} phase s per s, ${f[1]} of a core, ${f[2]} frames/s; x x z: ${f[3]} x faster"
    # Wide enough for a loaded machine, where stalls longer than 0.25 s drop phase.
    holds "${f[0]} > 0.75 && ${f[0]} < 1.15" || fail "paced walk not at the phase clock's speed"
    holds "${f[1]} < 0.5 && ${f[2]} > 20" || fail "paced loop spins or does not draw"
    holds "${f[3]} > 2" || fail "gait keys did not speed up the walk"
}

startX
case "$scenario" in
textured) scenarioTextured ;;
plainWalls) scenarioPlainWalls ;;
missingMesh) scenarioMissingMesh ;;
lab) scenarioLab ;;
*) fail "unknown scenario $scenario" ;;
esac
note "passed"
