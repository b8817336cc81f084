#!/usr/bin/env bash
# End-to-end checks of the real orva window in its own Xvfb server, driven with xdotool and
# watched through screenshots (ImageMagick).
# Usage: window_e2e.sh SCENARIO ORVA DATA_DIR OUT_DIR
#   textured     the data folder as built: title, textures, walking, help text, exit status
#   plainWalls   walls and top without textures: the robot in the middle, plain faces, camera
#                modes, arrows, mouse-look (also with the window away from the screen corner)
#   gaitSpeed    no textures at all: two robots side by side, seen from high above; the one
#                given "x", "x", "z" covers more ground per second
#   missingMesh  no "basicpiece.3ds": one message, and the program runs on
set -euo pipefail

scenario="$1"
orva="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
data="$(cd "$3" && pwd)"
out="$4"
mkdir -p "$out"
work="$(mktemp -d)"
xvfbPid=""
orvaPid="" # the instance being driven
wid=""     # its window
started=() # every instance, for the clean-up

cleanup() {
    for pid in "${started[@]}"; do
        if kill -0 "$pid" 2>/dev/null; then kill "$pid" 2>/dev/null || true; fi
    done
    if [ -n "$xvfbPid" ]; then kill "$xvfbPid" 2>/dev/null || true; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL [$scenario]: $*" >&2
    # Keep the shots for a look at what went wrong.
    mkdir -p "$out/failed-$scenario"
    cp "$work"/*.png "$out/failed-$scenario/" 2>/dev/null || true
    if [ -n "$orvaPid" ]; then
        echo "--- orva stdout:" >&2
        cat "$work/stdout.txt" >&2 || true
        echo "--- orva stderr:" >&2
        cat "$work/stderr.txt" >&2 || true
    fi
    exit 1
}
note() { echo "[$scenario] $*"; }

# Arithmetic on decimals; exit status 0 when the expression holds.
holds() { awk "BEGIN { exit !($1) }"; }

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

# Starts orva in the given folder and waits for its window (one not seen before) and a few
# frames. The pointer is left at the window's centre: keys go to the window under it.
startOrva() {
    local known="$wid" found=""
    (cd "$1" && exec "$orva") >>"$work/stdout.txt" 2>>"$work/stderr.txt" &
    orvaPid=$!
    started+=("$orvaPid")
    for _ in $(seq 300); do
        found="$(xdotool search --name 'orva$' 2>/dev/null | grep -vx "${known:-none}" | head -1 || true)"
        [ -n "$found" ] && break
        sleep 0.1
    done
    [ -n "$found" ] || fail "no window"
    wid="$found"
    xdotool mousemove 200 200
    sleep 1
    alive || fail "orva ended at start-up"
}

alive() { kill -0 "$orvaPid" 2>/dev/null; }

key() { timeout 30 xdotool key --delay 1 "$@"; }
keyTimes() { # count key
    timeout 60 xdotool key --delay 1 --repeat "$1" --repeat-delay 1 "$2"
}

shot() { # name; the window's drawing area only
    import -silent -window "$wid" "$work/$1.png"
}

screenShot() { # name; the whole screen, every window at the same instant
    import -silent -window root "$work/$1.png"
}

pointer() { xdotool getmouselocation | sed 's/x:\([0-9]*\) y:\([0-9]*\).*/\1 \2/'; }

# Waits until the pointer is at the given screen point (mouse-look puts it back).
waitPointer() { # x y
    for _ in $(seq 60); do
        [ "$(pointer)" = "$1 $2" ] && return 0
        sleep 0.05
    done
    return 1
}

# Normalised root-mean-square difference of two shots, 0..1.
difference() {
    local result
    # compare's exit status tells whether the images differ; the metric is what counts here.
    result="$(compare -metric RMSE "$work/$1.png" "$work/$2.png" null: 2>&1 || true)"
    result="${result#*(}"
    echo "${result%)*}"
}

# Fraction of pure white pixels (the clear colour and untextured faces) in a region.
whiteFraction() { # name geometry
    convert "$work/$1.png" -crop "$2" +repage -colorspace Gray -threshold 99% \
        -format '%[fx:mean]' info:
}

# Non-white pixels: count, centroid x and y, bounding box x0 x1 y0 y1 ("0" alone when none).
inkStats() { # name [geometry]
    convert "$work/$1.png" -crop "${2:-400x400+0+0}" +repage -colorspace Gray -threshold 90% \
        -depth 8 txt:- |
        awk -F'[,: ]+' 'NR > 1 && $0 ~ /#000000/ {
            n++; sx += $1; sy += $2
            if (n == 1 || $1 < x0) x0 = $1; if ($1 > x1) x1 = $1
            if (n == 1 || $2 < y0) y0 = $2; if ($2 > y1) y1 = $2
        }
        END { if (n == 0) print 0; else printf "%d %.2f %.2f %d %d %d %d\n", n, sx / n, sy / n, x0, x1, y0, y1 }'
}

# Copies the data folder without the named files.
dataWithout() {
    mkdir -p "$work/data"
    cp "$data"/* "$work/data/"
    for f in "$@"; do rm "$work/data/$f"; done
}

stopWithF4() {
    key F4
    local status=0
    timeout 20 tail --pid="$orvaPid" -f /dev/null || fail "F4 did not end the program"
    wait "$orvaPid" || status=$?
    orvaPid=""
    [ "$status" -eq 0 ] || fail "F4 ended the program with status $status"
    note "F4 exits with status 0"
}

scenarioTextured() {
    startOrva "$data"
    local title
    title="$(xdotool getwindowname "$wid")"
    [ "$title" = "$orva" ] || fail "title '$title' is not the invocation path '$orva'"
    xdotool getwindowgeometry "$wid" | grep -q 'Position: 0,0' || fail "window not at 0,0"
    xdotool getwindowgeometry "$wid" | grep -q 'Geometry: 400x400' || fail "window not 400x400"
    note "title is the invocation path; 400x400 at the corner"

    shot first
    local white
    white="$(whiteFraction first 400x400+0+0)"
    holds "$white < 0.02" || fail "frame is $white white: box textures missing"
    note "first frames are textured (white fraction $white)"
    cp "$work/first.png" "$out/screenshot.png"

    sleep 0.5
    shot later
    local change
    change="$(difference first later)"
    holds "$change > 0.005" || fail "frames do not change as it walks ($change)"
    note "frames change as it walks ($change)"

    key F1
    cat >"$work/help.txt" <<'EOF'
F1: help
F2: toggle camera mode (free, follow ORVA)
F4: exit
INSERT: toggle navigation mode ON/OFF
ARROW KEYS: navigate
MOUSE: move camera direction
w: decrease step length
x: increase step length
q: decrease step height
s: increase step height
a: decrease step speed
z: increase step speed
WATCH OUT: DO NOT CHANGE STEP MODE TOO FAST, THIS MAY LEAD TO INSTABILITY!
IF THIS EVER HAPPENS, JUST CLOSE THE PROGRAM AND RESTART...
EOF
    for _ in $(seq 100); do
        [ "$(wc -l <"$work/stdout.txt")" -ge 14 ] && break
        sleep 0.05
    done
    diff "$work/help.txt" "$work/stdout.txt" >&2 || fail "F1 help text differs"
    note "F1 prints the fourteen lines"
    stopWithF4
}

scenarioPlainWalls() {
    dataWithout Back.tga Front.tga Left.tga Right.tga Top.tga
    startOrva "$work/data"
    # Above the horizon only the plain walls and the robot's upper body show.
    local sky=400x180+0+0 ground=400x100+0+300
    shot follow
    local ink white
    read -r -a ink <<<"$(inkStats follow $sky)"
    [ "${ink[0]}" -gt 100 ] || fail "no robot above the horizon"
    holds "${ink[1]} > 170 && ${ink[1]} < 230" || fail "robot not in the middle (x ${ink[1]})"
    white="$(whiteFraction follow $sky)"
    holds "$white > 0.8" || fail "walls without texture are not plain ($white white)"
    white="$(whiteFraction follow $ground)"
    holds "$white < 0.05" || fail "floor lost its texture ($white white)"
    note "robot in the middle (x ${ink[1]}, ${ink[0]} px); plain walls; textured floor"

    # F2 early, while the robot is still near its start: the free camera then looks along its
    # own heading (-z), away from the robot.
    key F2
    sleep 0.3
    shot free
    read -r -a ink <<<"$(inkStats free $sky)"
    [ "${ink[0]}" -lt 20 ] || fail "F2 did not leave the follow view (${ink[0]} px of robot)"
    sleep 0.3
    shot freeStill
    local still
    still="$(difference free freeStill)"
    holds "$still < 0.002" || fail "free view moves by itself ($still)"
    note "F2 changes to the free view"

    keyTimes 10 Up
    keyTimes 5 Left
    sleep 0.3
    shot freeMoved
    local moved
    moved="$(difference freeStill freeMoved)"
    holds "$moved > 0.005" || fail "arrows do not move the free camera ($moved)"
    note "arrows move the free camera ($moved)"

    # Mouse-look, with the window away from the screen corner: pointer positions are the
    # drawing area's, so INSERT puts the pointer at the window's (200, 200).
    xdotool windowmove "$wid" 150 100
    sleep 0.3
    xdotool getwindowgeometry "$wid" | grep -q 'Position: 150,100' || fail "window did not move"
    shot beforeLook
    key Insert
    waitPointer 350 300 || fail "INSERT did not warp the pointer to (200, 200) of the window"
    xdotool mousemove 450 300
    waitPointer 350 300 || fail "mouse-look did not bring the pointer back to the centre"
    sleep 0.3
    shot afterLook
    local turned
    turned="$(difference beforeLook afterLook)"
    holds "$turned > 0.005" || fail "pointer move did not turn the view ($turned)"
    xdotool mousemove 351 301 # within the dead zone
    sleep 0.3
    [ "$(pointer)" = "351 301" ] || fail "a move inside the dead zone was warped back"
    key Insert
    waitPointer 350 300 || fail "INSERT did not warp the pointer"
    shot lookOff
    xdotool mousemove 450 380
    sleep 0.3
    [ "$(pointer)" = "450 380" ] || fail "pointer warped with mouse-look off"
    shot lookOffMoved
    still="$(difference lookOff lookOffMoved)"
    holds "$still < 0.002" || fail "view turned with mouse-look off ($still)"
    note "INSERT and pointer moves turn the view ($turned); off again, they do not"

    key F2
    sleep 0.3
    shot followAgain
    read -r -a ink <<<"$(inkStats followAgain $sky)"
    [ "${ink[0]}" -gt 100 ] || fail "second F2 did not return to the follow view"
    holds "${ink[1]} > 170 && ${ink[1]} < 230" || fail "follow view lost the robot (x ${ink[1]})"
    note "second F2 returns to the follow view (robot at x ${ink[1]})"

    # Follow camera: up brings it closer, down moves it back.
    keyTimes 6 Up
    sleep 0.3
    shot closer
    local near
    read -r -a near <<<"$(inkStats closer $sky)"
    holds "${near[0]} > 1.5 * ${ink[0]}" || fail "up did not bring the camera closer"
    keyTimes 6 Down
    sleep 0.3
    note "arrows move the follow camera (${ink[0]} -> ${near[0]} px of robot)"
    stopWithF4
}

# Turns the free camera of the current instance, whose window's corner is at (x, y), into a
# view from high above the centre of the circle.
viewFromAbove() { # x y
    local cx=$(($1 + 200)) cy=$(($2 + 200))
    xdotool mousemove "$cx" "$cy"
    # Follow camera at the circle's centre: orbit angle about pi/2 (1.0 + 6 x 0.1), distance 20.
    keyTimes 6 Right
    keyTimes 70 Down
    sleep 0.3
    key F2
    # Almost straight down: three pointer moves of 413 px, 0.516 rad each.
    key Insert
    waitPointer "$cx" "$cy" || fail "INSERT did not warp the pointer"
    for _ in 1 2 3; do
        xdotool mousemove "$cx" $((cy + 413))
        waitPointer "$cx" "$cy" || fail "mouse-look did not take the pointer back"
    done
    key Insert
    waitPointer "$cx" "$cy" || fail "INSERT did not warp the pointer"
    # Up about 55 m, where the whole circle fits in the view.
    keyTimes 550 Down
}

scenarioGaitSpeed() {
    dataWithout Ground2.tga Sky2.tga Mountains.tga Back.tga Front.tga Left.tga Right.tga \
        Top.tga Bottom.tga
    startOrva "$work/data"
    shot start
    local ink
    read -r -a ink <<<"$(inkStats start)"
    [ "${ink[0]}" -gt 500 ] || fail "no robot in the first frames"
    holds "${ink[1]} > 160 && ${ink[1]} < 240 && ${ink[5]} < 200 && ${ink[6]} > 200" ||
        fail "robot not in the middle: ${ink[*]}"
    note "robot in the middle of the first frames: ${ink[*]}"
    viewFromAbove 0 0
    local firstPid="$orvaPid" firstWid="$wid"

    # The second robot walks in a window beside the first, on the same machine at the same
    # time, so both get the same share of it.
    startOrva "$work/data"
    xdotool windowmove "$wid" 450 0
    sleep 0.3
    viewFromAbove 450 0
    # A request made while another waits for its step is dropped: one key per second.
    for letter in x x z; do
        key "$letter"
        sleep 1
    done

    local slow=0 fast=0 i a b
    for i in 1 2 3 4; do
        screenShot "before$i"
        sleep 0.6
        screenShot "after$i"
        for side in 0 450; do
            read -r -a a <<<"$(inkStats "before$i" "400x400+$side+0")"
            read -r -a b <<<"$(inkStats "after$i" "400x400+$side+0")"
            if [ "${a[0]}" -eq 0 ] || [ "${b[0]}" -eq 0 ]; then
                fail "a robot left the view from above"
            fi
            local moved
            moved=$(awk -v ax="${a[1]}" -v ay="${a[2]}" -v bx="${b[1]}" -v by="${b[2]}" \
                'BEGIN { print sqrt((bx - ax) ^ 2 + (by - ay) ^ 2) }')
            if [ "$side" = 0 ]; then
                slow=$(awk -v s="$slow" -v m="$moved" 'BEGIN { print s + m }')
            else
                fast=$(awk -v s="$fast" -v m="$moved" 'BEGIN { print s + m }')
            fi
        done
    done
    note "ground covered on screen: $slow px by the first robot, $fast px after x, x, z"
    holds "$fast > 2 * $slow" || fail "the gait keys did not speed up the walk"
    stopWithF4
    orvaPid="$firstPid"
    wid="$firstWid"
    xdotool mousemove 200 200
    stopWithF4
}

scenarioMissingMesh() {
    dataWithout basicpiece.3ds
    startOrva "$work/data"
    shot a
    sleep 1
    shot b
    alive || fail "orva ended without basicpiece.3ds"
    local expected="Error - Unable to find the file: basicpiece.3ds"
    [ "$(cat "$work/stdout.txt")" = "$expected" ] ||
        fail "expected the one line '$expected', got: $(cat "$work/stdout.txt")"
    local change
    change="$(difference a b)"
    holds "$change > 0.001" || fail "frames stopped changing ($change)"
    note "one message, still running and drawing ($change)"
    stopWithF4
}

startX
case "$scenario" in
textured) scenarioTextured ;;
plainWalls) scenarioPlainWalls ;;
gaitSpeed) scenarioGaitSpeed ;;
missingMesh) scenarioMissingMesh ;;
*) fail "unknown scenario $scenario" ;;
esac
note "passed"
