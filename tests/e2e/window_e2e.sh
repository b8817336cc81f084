#!/usr/bin/env bash
# End-to-end checks of the real orva window in its own Xvfb server, driven with xdotool and
# watched through screenshots (ImageMagick) and the window probe of bench/.
# Usage: window_e2e.sh SCENARIO ORVA DATA_DIR OUT_DIR PROBE (ORVA in the build folder)
#   textured      `cmake --install` into a temporary prefix; its launcher, started from another
#                 folder: files found, title, place and size, textures, walking, help, exit
#   plainWalls    walls and top without textures: the robot in the middle, plain faces, F2,
#                 mouse-look with the window away from the screen corner
#   lab           no textures: pacing, gait keys, pause, single step, side-on view, the ghost,
#                 panel, F12 beside a planted link
#   explorer      no textures, the gait lab shown: ORVA whole beside the panel in the three
#                 views at 400x400; a click on the feasibility map and a slider change the gait
#                 walked
#   hostileStart  standard output closed (`orva >&-`), data files that are pipes (one of them
#                 the limb mesh) and a sparse image declaring 2 GiB: start-up neither blocks nor
#                 holds the image's memory, the walk goes on, F1 prints the help into nothing
#                 (not into the X connection) and F4 exits 0
#   record        `orva --record` (read back with ffprobe and ffmpeg): refusals with one line
#                 and nothing left behind, also for a disk that fills up; 2 s make 67 frames at
#                 100/3 per second, 640x480, H.264 in YUV 4:2:0, that differ; twice the same bytes
#   videoKey      paused, F12 after each single step and v around eight of them: frame m of the
#                 video is the screenshot 4m increments on; a shown panel is not recorded; frame
#                 k of `orva --record` is the screenshot after 4k increments
set -euo pipefail

scenario="$1"
orva="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
data="$(cd "$3" && pwd)"
out="$4"
probe="$5"
work="$(mktemp -d)"
xvfbPid="" orvaPid="" wid=""

trap 'kill $orvaPid $xvfbPid 2>/dev/null; rm -rf "$work"' EXIT

fail() {
    echo "FAIL [$scenario]: $*" >&2
    # The shots, for a look at what went wrong.
    { mkdir -p "$out/failed-$scenario" && cp "$work"/*.png "$out/failed-$scenario/" 2>/dev/null; } || true
    cat "$work"/*.txt >&2 2>/dev/null || true
    exit 1
}
holds() { awk "BEGIN { exit !($1) }"; } # arithmetic on decimals
waitFor() { # command...: up to 15 s for it to succeed
    for _ in $(seq 300); do "$@" && return 0 || sleep 0.05; done
    return 1
}

startX() {
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -noreset -nolisten tcp >"$work/xvfb.log" 2>&1 &
    xvfbPid=$!
    exec 3>&-
    waitFor test -s "$work/display" || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
    export DISPLAY=":$(cat "$work/display")"
}

windowShown() {
    kill -0 "$orvaPid" 2>/dev/null || fail "orva ended at start-up"
    wid="$(xdotool search --name 'orva$' 2>/dev/null | head -1 || true)"
    [ -n "$wid" ]
}

# Waits for the window of orvaPid and a few frames. The pointer is left at the window's centre:
# keys go to the window under it.
waitWindow() {
    waitFor windowShown || fail "no window"
    xdotool mousemove 200 200
    sleep 1
    kill -0 "$orvaPid" 2>/dev/null || fail "orva ended at start-up"
}

key() { timeout 30 xdotool key --delay 1 "$@"; }
shot() { import -silent -window "$wid" "$work/$1.png"; } # the window's drawing area

difference() { # shot shot: normalised root-mean-square difference, 0..1
    compare -metric RMSE "$work/$1.png" "$work/$2.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/' || true
}

whiteFraction() { # shot [geometry]: pure white, the clear colour and untextured faces
    convert "$work/$1.png" -crop "${2:-400x400+0+0}" +repage -colorspace Gray -threshold 99% \
        -format '%[fx:mean]' info:
}

stopWithF4() {
    key F4
    timeout 20 tail --pid="$orvaPid" -f /dev/null || fail "F4 did not end the program"
    wait "$orvaPid" || fail "F4 ended the program with status $?"
    orvaPid=""
}

startOrva() { # folder [library to preload]: runs $program, orva itself unless set
    (cd "$1" && ORVA_PROBE_OUT="$work/probe.txt" LD_PRELOAD="${2:-}" \
        ORVA_PROBE_STATS="$(nm "$orva" | awk '$3 == "theLab" { print $1 }')" exec "${program:-$orva}") \
        >"$work/stdout.txt" 2>"$work/stderr.txt" &
    orvaPid=$!
    waitWindow
}

pointerAt() { [ "$(xdotool getmouselocation | sed 's/x:\([0-9]*\) y:\([0-9]*\).*/\1 \2/')" = "$1 $2" ]; }
printed() { [ "$(wc -l <"$work/stdout.txt")" -ge "$1" ]; }
changed() { shot now && holds "$(difference "$1" now) > ${2:-0}"; } # shot [threshold]
frozen() { shot a && sleep 0.3 && shot b && holds "$(difference a b) == 0"; }

# Dark pixels: their count, and the box around them: width, height, left, top.
inkStats() { # shot [geometry]
    convert "$work/$1.png" -crop "${2:-400x400+0+0}" +repage -colorspace Gray -threshold 90% \
        -format '%[fx:round(w*h*(1-mean))] %@' info: 2>/dev/null | tr 'x+' '  '
}

dataWithout() { # files: a copy of the data folder without them
    mkdir -p "$work/data"
    cp "$data"/* "$work/data/"
    for f in "$@"; do rm "$work/data/$f"; done
}

scenarioTextured() {
    local prefix="$work/prefix"
    cmake --install "$(dirname "$orva")" --prefix "$prefix" >/dev/null || fail "install failed"
    for file in bin/orva-gait bin/orva-assets share/applications/orva-walker.desktop \
        share/icons/hicolor/scalable/apps/orva-walker.svg; do
        [ -f "$prefix/$file" ] || fail "$file not installed"
    done
    program="$prefix/bin/orva-walker" startOrva /
    [ "$(xdotool getwindowname "$wid")" = "$(readlink -f "$prefix")/bin/orva" ] ||
        fail "title is not the invocation path"
    xdotool getwindowgeometry "$wid" | tr '\n' ' ' | grep -q 'Position: 0,0 .*Geometry: 400x400' ||
        fail "window not 400x400 at the screen's corner"
    shot first
    holds "$(whiteFraction first) < 0.02" || fail "box textures missing"
    sleep 0.5
    shot later
    holds "$(difference first later) > 0.005" || fail "frames do not change as it walks"
    [ ! -s "$work/stdout.txt" ] && [ ! -s "$work/stderr.txt" ] || fail "a data file was not found"
    key F1
    waitFor printed 14 || fail "no help text"
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
    holds "${ink[0]} > 100 && ${ink[3]} + ${ink[1]} / 2 > 170 && ${ink[3]} + ${ink[1]} / 2 < 230" ||
        fail "robot not in the middle above the horizon: ${ink[*]}"
    holds "$(whiteFraction follow $sky) > 0.8" || fail "walls without texture are not plain"
    holds "$(whiteFraction follow 400x100+0+300) < 0.05" || fail "floor lost its texture"
    key F2 # early, the free camera looks along its own heading (-z), away from the robot
    freeView() { shot free && read -r -a ink <<<"$(inkStats free $sky)" && [ "${ink[0]}" -lt 20 ]; }
    waitFor freeView || fail "F2 did not leave the follow view"

    # Pointer positions are the drawing area's: INSERT puts the pointer at (200, 200) of the
    # window, wherever it stands.
    xdotool windowmove "$wid" 150 100
    sleep 0.3
    shot beforeLook
    key Insert
    waitFor pointerAt 350 300 || fail "INSERT did not warp the pointer to the window's centre"
    xdotool mousemove 450 300
    waitFor pointerAt 350 300 || fail "mouse-look did not bring the pointer back to the centre"
    waitFor changed beforeLook 0.005 || fail "pointer move did not turn the view"
    key Insert # off again: the pointer moves freely and the view stays
    waitFor pointerAt 350 300 || fail "INSERT did not warp the pointer"
    shot lookOff
    xdotool mousemove 450 380
    sleep 0.3
    pointerAt 450 380 && ! changed lookOff 0.002 || fail "mouse-look still on after INSERT"
    stopWithF4
}

scenarioLab() {
    dataWithout Ground2.tga Sky2.tga Mountains.tga Back.tga Front.tga Left.tga Right.tga \
        Top.tga Bottom.tga
    ln -s "$work/planted.png" "$work/data/orva-0001.png" # F12 passes over it, never follows it
    startOrva "$work/data" "$probe"
    mark() { sleep "$1" && kill -USR1 "$orvaPid"; } # the probe's snapshot: time, frames, walk
    key r # paced at 1x
    mark 1
    mark 4
    key x x z # pressed together: none is lost
    mark 6
    mark 4

    key p
    waitFor frozen || fail "p does not freeze the frame"
    key o
    waitFor changed b || fail "o does not move the frame"
    cp "$work/now.png" "$work/stepped.png"
    key c
    waitFor changed stepped 0.01 || fail "c does not change the view"
    local ink
    read -r -a ink <<<"$(inkStats now)"
    holds "${ink[0]} > 500 && ${ink[3]} > 0 && ${ink[3]} + ${ink[1]} < 400 && ${ink[4]} > 0 && ${ink[4]} + ${ink[2]} < 400" ||
        fail "side-on view does not show the whole robot: ${ink[*]}"
    cp "$work/now.png" "$work/sideOn.png"
    # Paused, the ghost shows at once and goes without a trace. A blend has none to show: then a
    # few single steps on and again.
    cp "$work/now.png" "$work/plain.png"
    withGhost() { frozen && holds "$(difference plain b) > 0"; }
    withoutGhost() { frozen && holds "$(difference plain b) == 0"; }
    local tries
    for tries in $(seq 12); do
        key g
        withGhost || withGhost || withGhost && break
        key g o o o o o o o o
        waitFor frozen && cp "$work/b.png" "$work/plain.png"
    done
    withGhost || fail "g does not show the ghost (tried $tries times)"
    key g
    waitFor withoutGhost || fail "g does not hide the ghost"
    key h
    waitFor changed sideOn 0.05 || fail "h does not show the panel"
    key F12
    waitFor printed 1 && [ "$(cat "$work/stdout.txt")" = "Saved orva-0002.png" ] || fail "F12 message"
    [ ! -e "$work/planted.png" ] || fail "F12 followed a planted link"
    cp "$work/data/orva-0002.png" "$work/saved.png"
    shot shown # a different size fails the comparison
    holds "$(difference shown saved) < 0.01" || fail "the screenshot is not the window's picture"
    stopWithF4

    local f # at 1x: phase s per wall s, share of a core, frames and idle calls per s; x x z's speed-up
    read -r -a f <<<"$(awk -F'[ =]' '/^snapshot/ { k++; for (j = 2; j < NF; j += 2) v[k, $j] = $(j + 1) }
        function d(name, a, b) { return v[b, name] - v[a, name] }
        END { s = d("wall", 1, 2) / 1e9
              printf "%.3f %.3f %.1f %.0f %.2f", d("increments", 1, 2) * 0.0075 / s, d("cpu", 1, 2) / 1e9 / s,
                  d("frames", 1, 2) / s, d("idle", 1, 2) / s,
                  d("distance", 3, 4) / d("increments", 3, 4) / (d("distance", 1, 2) / d("increments", 1, 2)) }' \
        "$work/probe.txt")"
    echo "[lab] paced: phase s/s, share of a core, frames/s, idle calls/s; x x z speed-up: ${f[*]}"
    # Wide enough for a loaded machine, where stalls longer than 0.25 s drop phase and frames.
    holds "${f[0]} > 0.6 && ${f[0]} < 1.15" || fail "paced walk not at the phase clock's speed"
    holds "${f[1]} < 0.5 && ${f[3]} < 1000 && ${f[2]} > 5" || fail "paced loop spins or does not draw"
    holds "${f[4]} > 2" || fail "gait keys did not speed up the walk"
}

scenarioExplorer() {
    dataWithout Ground2.tga Sky2.tga Mountains.tga Back.tga Front.tga Left.tga Right.tga \
        Top.tga Bottom.tga
    startOrva "$work/data" "$probe"
    key h p # paused, so that the free camera's view keeps ORVA where it was aimed at
    local view ink last=""
    for view in follow sideOn aimed; do
        [ -z "$last" ] || { key c && waitFor changed "$last" 0.01 || fail "c does not change the view"; }
        sleep 0.5
        shot "$view"
        last="$view"
        # The scene beside the panel, the right half of the window: ORVA inside it, edges clear.
        read -r -a ink <<<"$(inkStats "$view" 200x400+200+0)"
        holds "${ink[0]} > 300 && ${ink[3]} > 0 && ${ink[3]} + ${ink[1]} < 200 && ${ink[4]} > 0 && ${ink[4]} + ${ink[2]} < 400" ||
            fail "$view: ORVA not whole beside the panel: ${ink[*]}"
    done

    # Taller, the panel shows the map. A click at step length 0.28 m and 0.40 m/s, then
    # "walk it"; then the speed slider at about 0.28 m/s.
    key p
    # Through a tiny window first: the panel must come back whole, or the clicks below miss.
    xdotool windowsize "$wid" 1 1 && sleep 0.3 && xdotool windowsize "$wid" 50 50 && sleep 0.3
    xdotool windowsize "$wid" 400 700
    sleep 1
    mark() { sleep "$1" && kill -USR1 "$orvaPid"; }
    mark 0.5
    mark 1
    xdotool mousemove 124 451 click 1
    sleep 0.3
    xdotool mousemove 36 354 click 1
    mark 4
    mark 1
    xdotool mousemove 54 292 click 1
    sleep 0.3
    xdotool mousemove 36 354 click 1
    mark 4
    mark 1
    stopWithF4
    local f # walk speed per phase s after the click and after the slider, against mode 0's
    read -r -a f <<<"$(awk -F'[ =]' '/^snapshot/ { k++; for (j = 2; j < NF; j += 2) v[k, $j] = $(j + 1) }
        function s(a, b) { return (v[b, "distance"] - v[a, "distance"]) / (v[b, "increments"] - v[a, "increments"]) }
        END { printf "%.2f %.2f", s(3, 4) / s(1, 2), s(5, 6) / s(1, 2) }' "$work/probe.txt")"
    echo "[explorer] speed after the map click and after the slider, against mode 0: ${f[*]}"
    holds "${f[0]} > 4" || fail "the map's gait is not walked"
    holds "${f[1]} > 2 && ${f[1]} < ${f[0]} * 0.85" || fail "the slider's gait is not walked"
}

scenarioHostileStart() {
    dataWithout basicpiece.3ds Ground2.tga
    mkfifo "$work/data/basicpiece.3ds" "$work/data/Ground2.tga"
    # 32768 x 16384 pixels of 32 bits: 2 GiB declared, a few kilobytes on disk.
    printf '\0\0\2\0\0\0\0\0\0\0\0\0\0\200\0\100\40\0' >"$work/data/Sky2.tga"
    truncate -s $((18 + 2 * 1024 * 1024 * 1024)) "$work/data/Sky2.tga"
    (cd "$work/data" && exec "$orva" >&-) &
    orvaPid=$!
    waitWindow
    local peak
    peak="$(awk '/^VmHWM/ { print $2 }' "/proc/$orvaPid/status")"
    [ "$peak" -lt 600000 ] || fail "start-up took $peak kB for an image it cannot upload"
    shot a && sleep 1 && shot b
    holds "$(difference a b) > 0.001" || fail "frames stopped changing"
    key F1
    sleep 1
    stopWithF4
}

# Video recordings. A frame against a screenshot of the same picture loses up to 0.02 to the
# codec (textures, halved colour resolution), more than a few increments early in the walk
# change: a frame's time is told by the screenshot closest to it.
codecLoss=0.03
frame() { # video index shot: frame number index of $work/video as $work/shot.png
    ffmpeg -v error -y -i "$work/$1" -vf "select=eq(n\\,$2)" -vsync 0 -frames:v 1 "$work/$3.png" ||
        fail "no frame $2 in $1"
}
streamOf() { # video: codec, size, pixels, rates and frames read
    ffprobe -v error -count_frames -select_streams v:0 -of csv=p=0 -show_entries \
        stream=codec_name,width,height,pix_fmt,r_frame_rate,avg_frame_rate,nb_read_frames "$work/$1"
}
closest() { # shot shots...: the place (from 1) of the one of shots nearest shot
    local best=0 least=2 at=0 d c
    for c in "${@:2}"; do
        at=$((at + 1)) d="$(difference "$1" "$c")"
        if holds "$d < $least"; then best=$at least=$d; fi
    done
    echo "$best"
}
record() { # status args...: orva --record in $work/data; a refusal says why in one line
    local got=0
    (cd "$work/data" && exec "$orva" "${@:2}") 2>"$work/record.txt" || got=$?
    [ "$got" -eq "$1" ] && { [ "$1" -eq 0 ] || [ "$(grep -c '' "$work/record.txt")" -eq 1 ]; } ||
        fail "orva ${*:2}: status $got: $(cat "$work/record.txt")"
}

scenarioRecord() {
    dataWithout
    mkdir "$work/data/folder"
    for target in folder /dev/full /proc/v.mp4; do record 1 --record "$target"; done
    record 2 --record v.mp4 --size 641x480
    record 2 --record v.webm
    # The name's ending chooses the container (MP4 and QuickTime told apart by their brand).
    local ending format
    for ending in mkv:matroska avi:avi mov:qt mp4:isom; do
        record 0 --record "v.${ending%%:*}" --seconds 0.1
        format="$(ffprobe -v error -show_entries format=format_name:format_tags=major_brand \
            -of csv=p=0 "$work/data/v.${ending%%:*}" | tr -d \")"
        [[ ",$format," == *",${ending#*:}"[,\ ]* ]] || fail "v.${ending%%:*} holds $format"
        rm "$work/data/v.${ending%%:*}"
    done
    # A disk that fills up mid-way: the file may not grow past 40 kB.
    (trap '' XFSZ && ulimit -f 40 && cd "$work/data" && exec "$orva" --record v.mp4) \
        2>"$work/record.txt" && fail "a full disk did not fail the recording"
    [ "$(tail -1 "$work/record.txt")" = "orva: v.mp4: cannot write: File too large" ] ||
        fail "full disk: $(tail -1 "$work/record.txt")"
    [ "$(ls -A "$work/data" | wc -l)" -eq 12 ] || fail "left behind: $(ls -A "$work/data")"

    record 0 --record v.mp4 --seconds 2
    [ "$(streamOf data/v.mp4)" = "h264,640,480,yuv420p,100/3,100/3,67" ] ||
        fail "stream: $(streamOf data/v.mp4)"
    frame data/v.mp4 0 first
    frame data/v.mp4 66 last
    holds "$(difference first last) > 0.05" || fail "the frames do not change"
    mv "$work/data/v.mp4" "$work/once.mp4"
    record 0 --record v.mp4 --seconds 2
    cmp "$work/once.mp4" "$work/data/v.mp4" || fail "two recordings differ"
}

scenarioVideoKey() {
    dataWithout
    # Paused at once, after n increments: a small n keeps the recording of k frames below short.
    (cd "$work/data" && ORVA_PROBE_OUT="$work/probe.txt" LD_PRELOAD="$probe" \
        ORVA_PROBE_STATS="$(nm "$orva" | awk '$3 == "theLab" { print $1 }')" exec "$orva") \
        >"$work/stdout.txt" 2>"$work/stderr.txt" &
    orvaPid=$!
    waitFor windowShown || fail "no window"
    xdotool mousemove 200 200
    key p
    sleep 0.3
    kill -USR1 "$orvaPid" # the probe's snapshot: n
    local j shots=0 n i k loss
    shoot() { # F12 into data/orva-NNNN.png, NNNN = shots: the walk n + shots - 1 increments on
        key F12
        shots=$((shots + 1))
        waitFor printed $((shots + ${1:-0})) || fail "F12 did not save a screenshot"
    }
    step() { key o && sleep 0.2; } # a second "o" before the first one's increment would be lost
    for j in 0 1 2; do shoot && step; done
    shoot
    key v # frames after n + 3, n + 7 and n + 11 increments
    for j in 1 2 3 4 5 6 7 8; do step && shoot 1; done
    key v
    key h
    sleep 0.5
    shoot 2 # orva-0013.png: the panel over the picture of orva-0012.png
    key v v
    waitFor printed 17 || fail "v does not start or end a recording"
    stopWithF4
    [ "$(sed -n '5p;14p;16p;17p' "$work/stdout.txt" | tr '\n' ' ')" = "Recording orva-0001.mp4 \
Saved orva-0001.mp4 (3 frames) Recording orva-0002.mp4 Saved orva-0002.mp4 (1 frames) " ] ||
        fail "v's messages: $(cat "$work/stdout.txt")"
    for j in 0 1 2; do
        frame data/orva-0001.mp4 "$j" "v$j"
        [ "$(closest "v$j" data/orva-00{01..12})" = $((4 + 4 * j)) ] ||
            fail "frame $j of the v recording is not the walk $((4 * j)) increments on"
    done
    frame data/orva-0002.mp4 0 panel
    holds "$(difference v0 data/orva-0004) < $codecLoss" || fail "frames not the window's pictures"
    holds "$(difference panel data/orva-0013) > 0.05 && $(difference panel v2) < $codecLoss" ||
        fail "the panel was recorded"

    # Frame k of a recording from the start is the screenshot after n + i = 4k increments.
    n="$(awk -F'increments=' '/^snapshot/ { split($2, a, " "); print a[1] }' "$work/probe.txt")"
    i=$(((4 - n % 4) % 4)) k=$(((n + i) / 4))
    record 0 --record k.mp4 --size 400x400 --seconds "$(awk "BEGIN { print ($k + 1.5) * 0.03 }")"
    [ "$(streamOf data/k.mp4)" = "h264,400,400,yuv420p,100/3,100/3,$((k + 2))" ] ||
        fail "stream: $(streamOf data/k.mp4)"
    local from=$((k > 0 ? k - 1 : 0)) shot=data/orva-000$((i + 1))
    for j in $(seq "$from" $((k + 1))); do frame data/k.mp4 "$j" "k$j"; done
    loss="$(difference "k$k" "$shot")"
    echo "[videoKey] n $n: frame $k against its screenshot $loss; $(tail -1 "$work/record.txt")"
    # shellcheck disable=SC2046 # the frames around k
    holds "$loss < $codecLoss" && [ "$(closest "$shot" $(seq -f k%g "$from" $((k + 1))))" = $((k - from + 1)) ] ||
        fail "frame $k is not the walk after $((4 * k)) increments"
}

startX
declare -F "scenario${scenario^}" >/dev/null || fail "unknown scenario"
"scenario${scenario^}"
echo "[$scenario] passed"
