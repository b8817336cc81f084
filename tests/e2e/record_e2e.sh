#!/usr/bin/env bash
# End-to-end checks of the video recordings in their own Xvfb server: `orva --record` and the
# v key of the window, read back with ffprobe and ffmpeg and compared with screenshots
# (ImageMagick).
# Usage: record_e2e.sh SCENARIO ORVA DATA_DIR OUT_DIR PROBE (ORVA in the build folder)
#   command  refusals: status 2 or 1 with one line, nothing under the final name and no
#            temporary file left, also when the file may not grow past 40 kB (a full disk);
#            a 2 s recording: 67 frames at 100/3 per second, 640x480, H.264 in YUV 4:2:0,
#            frames that differ; a second recording byte for byte the same
#   key      the window paused: F12 at four consecutive increments, v, single steps, v: its
#            frames are the screenshots' pictures every fourth increment; a shown panel is
#            not recorded; frame k of `orva --record` is the screenshot after 4k increments
set -euo pipefail

scenario="$1"
orva="$(cd "$(dirname "$2")" && pwd)/$(basename "$2")"
data="$(cd "$3" && pwd)"
out="$4"
probe="$5"
work="$(mktemp -d)"
xvfbPid="" orvaPid="" wid=""

trap 'kill $orvaPid $xvfbPid 2>/dev/null; [ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT

fail() {
    echo "FAIL [$scenario]: $*" >&2
    { mkdir -p "$out/failed-$scenario" && cp "$work"/*.png "$out/failed-$scenario/" 2>/dev/null; } || true
    cat "$work"/*.txt >&2 2>/dev/null || true
    exit 1
}
holds() { awk "BEGIN { exit !($1) }"; }
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

frame() { # video index png: frame number index of the video as a picture
    ffmpeg -v error -y -i "$1" -vf "select=eq(n\\,$2)" -vsync 0 -frames:v 1 "$3" || fail "no frame $2 in $1"
}
difference() { # png png: normalised root-mean-square difference, 0..1
    compare -metric RMSE "$1" "$2" null: 2>&1 | sed 's/.*(\(.*\))/\1/' || true
}
probeStream() { # video: frames, rate, size, codec and pixel format in one line
    ffprobe -v error -count_frames -select_streams v:0 -of csv=p=0 \
        -show_entries stream=nb_read_frames,r_frame_rate,avg_frame_rate,width,height,codec_name,pix_fmt "$1"
}

# A video frame against a screenshot of the same picture: the codec's loss, most of it from
# the textures and the halved colour resolution. It is larger than the change of a few
# increments early in the walk, so a frame's time is told by which picture is the closest.
codecLoss=0.03
closest() { # png candidates...: the number (from 1) of the candidate nearest png
    local png="$1" best=0 bestDifference=2 at=0 d
    shift
    for candidate in "$@"; do
        at=$((at + 1))
        d="$(difference "$png" "$candidate")"
        if holds "$d < $bestDifference"; then best=$at bestDifference=$d; fi
    done
    echo "$best"
}

record() { # status args...: orva --record in $work/rec, its status checked; stderr in rec.txt
    local want="$1" got=0
    shift
    (cd "$work/rec" && exec "$orva" "$@") 2>"$work/rec.txt" || got=$?
    [ "$got" -eq "$want" ] || fail "orva $* ended with status $got, not $want"
}

# Nothing but the files named is left in the folder: no temporary file, no half video.
onlyLeft() { # names...
    local left
    left="$(cd "$work/rec" && ls -A | tr '\n' ' ')"
    [ "$left" = "$*${*:+ }" ] || fail "left in the folder: '$left', not '$*'"
}

scenarioCommand() {
    mkdir -p "$work/rec"
    cp "$data"/* "$work/rec/"
    (cd "$work/rec" && ls -A >"$work/data.list")
    mkdir "$work/rec/folder"
    local refusal
    while read -r status args; do
        # shellcheck disable=SC2086 # the arguments are split on purpose
        record "$status" $args
        [ "$(grep -c '' "$work/rec.txt")" -eq 1 ] || fail "orva $args: not one line on stderr"
        refusal="$(cat "$work/rec.txt")"
        [ ! -e "$work/rec/v.mp4" ] || fail "orva $args left v.mp4"
    done <<EOF
2 --record v.mp4 --size 641x480
2 --record v.mp4 --seconds 0
2 --record v.mp4 --view above
2 --seconds 2
1 --record folder
1 --record /dev/full
1 --record missing/v.mp4
1 --record /proc/v.mp4
EOF
    [ "$refusal" = "orva: cannot write /proc/v.mp4: No such file or directory" ] ||
        fail "refusal reads '$refusal'"
    # A disk that fills up mid-way: the file may not grow past 40 kB.
    (trap '' XFSZ && ulimit -f 40 && cd "$work/rec" && exec "$orva" --record v.mp4 --seconds 5) \
        2>"$work/rec.txt" && fail "a full disk did not fail the recording"
    [ "$(tail -1 "$work/rec.txt")" = "orva: v.mp4: cannot write: File too large" ] ||
        fail "full disk: $(tail -1 "$work/rec.txt")"
    rmdir "$work/rec/folder"
    # shellcheck disable=SC2046 # the data files' names
    onlyLeft $(cat "$work/data.list")

    record 0 --record v.mp4 --seconds 2
    grep -q '^orva: wrote v.mp4: 67 frames, H.264 (libx264)' "$work/rec.txt" || fail "$(cat "$work/rec.txt")"
    [ "$(probeStream "$work/rec/v.mp4")" = "h264,640,480,yuv420p,100/3,100/3,67" ] ||
        fail "stream: $(probeStream "$work/rec/v.mp4")"
    frame "$work/rec/v.mp4" 0 "$work/first.png"
    frame "$work/rec/v.mp4" 66 "$work/last.png"
    holds "$(difference "$work/first.png" "$work/last.png") > 0.05" || fail "the frames do not change"
    mv "$work/rec/v.mp4" "$work/rec/once.mp4"
    record 0 --record v.mp4 --seconds 2
    cmp "$work/rec/once.mp4" "$work/rec/v.mp4" || fail "two recordings differ"
}

scenarioKey() {
    mkdir -p "$work/data"
    cp "$data"/* "$work/data/"
    (cd "$work/data" && ORVA_PROBE_OUT="$work/probe.txt" LD_PRELOAD="$probe" \
        ORVA_PROBE_STATS="$(nm "$orva" | awk '$3 == "walkStats" { print $1 }')" exec "$orva") \
        >"$work/stdout.txt" 2>"$work/stderr.txt" &
    orvaPid=$!
    windowShown() { wid="$(xdotool search --name 'orva$' 2>/dev/null | head -1 || true)" && [ -n "$wid" ]; }
    waitFor windowShown || fail "no window"
    xdotool mousemove 200 200
    key() { timeout 30 xdotool key --delay 1 "$@"; }
    printed() { [ "$(wc -l <"$work/stdout.txt")" -ge "$1" ]; }
    step() { key o && sleep 0.2; } # one increment: a second "o" before it ran would be lost
    key p
    sleep 0.3
    kill -USR1 "$orvaPid" # the probe's count of increments when paused: n
    local j shots=0
    shoot() { # F12: orva-NNNN.png with NNNN = shots, the picture after n + shots - 1 increments
        key F12
        shots=$((shots + 1))
        waitFor printed $((shots + ${1:-0})) || fail "F12 did not save a screenshot"
    }
    for j in 0 1 2; do shoot && step; done
    shoot
    key v # frame m at n + 3 + 4 m, among the screenshots after each step
    waitFor printed 5 || fail "v does not start a recording"
    for j in 1 2 3 4 5 6 7 8; do step && shoot 1; done
    key v
    waitFor printed 14 || fail "v does not end the recording"
    key h
    sleep 0.5
    shoot 2 # orva-0013.png: the panel over the picture of orva-0012.png
    key v
    waitFor printed 16 || fail "v with the panel"
    key v
    waitFor printed 17 || fail "v with the panel does not end"
    key F4
    timeout 20 tail --pid="$orvaPid" -f /dev/null || fail "F4 did not end the program"
    orvaPid=""
    [ "$(sed -n '5p;14p;16p;17p' "$work/stdout.txt" | tr '\n' ' ')" = "Recording orva-0001.mp4 Saved orva-0001.mp4 (3 frames) Recording orva-0002.mp4 Saved orva-0002.mp4 (1 frames) " ] ||
        fail "v's messages: $(cat "$work/stdout.txt")"

    local n i k d=$work/data loss panel again
    n="$(awk -F'increments=' '/^snapshot/ { split($2, a, " "); print a[1] }' "$work/probe.txt")"
    [ "$n" -ge 0 ] || fail "no increment count from the probe"
    for j in 0 1 2; do
        frame "$d/orva-0001.mp4" "$j" "$work/v$j.png"
        [ "$(closest "$work/v$j.png" "$d"/orva-00{01..12}.png)" = $((4 + 4 * j)) ] ||
            fail "frame $j of the v recording is not the walk $((4 * j)) increments on"
    done
    frame "$d/orva-0002.mp4" 0 "$work/panel.png"
    loss="$(difference "$work/v0.png" "$d/orva-0004.png")"
    panel="$(difference "$work/panel.png" "$d/orva-0013.png")"
    again="$(difference "$work/panel.png" "$work/v2.png")"
    echo "[key] n $n; codec loss $loss; with the panel $panel, without $again"
    holds "$loss < $codecLoss" || fail "the v recording's frames are not the window's pictures"
    holds "$panel > 0.05 && $again < $codecLoss" || fail "the panel was recorded"

    # The same picture from the start of the walk: frame k of a recording at the window's size.
    i=$(((4 - n % 4) % 4)) # the screenshot after a multiple of four increments
    k=$(((n + i) / 4))
    mkdir -p "$work/rec"
    cp "$data"/* "$work/rec/"
    record 0 --record k.mp4 --size 400x400 --seconds "$(awk "BEGIN { print ($k + 1.5) * 0.03 }")"
    [ "$(probeStream "$work/rec/k.mp4")" = "h264,400,400,yuv420p,100/3,100/3,$((k + 2))" ] ||
        fail "stream: $(probeStream "$work/rec/k.mp4")"
    local from=$((k > 0 ? k - 1 : 0))
    for j in $(seq "$from" $((k + 1))); do frame "$work/rec/k.mp4" "$j" "$work/k$j.png"; done
    local shot="$d/orva-000$((i + 1)).png"
    loss="$(difference "$work/k$k.png" "$shot")"
    echo "[key] frame $k of the recording against the screenshot: $loss; $(tail -1 "$work/rec.txt")"
    # shellcheck disable=SC2046 # the frames around k
    holds "$loss < $codecLoss" &&
        [ "$(closest "$shot" $(seq -f "$work/k%g.png" "$from" $((k + 1))))" = $((k - from + 1)) ] ||
        fail "frame $k is not the walk after $((4 * k)) increments"
}

startX
declare -F "scenario${scenario^}" >/dev/null || fail "unknown scenario"
"scenario${scenario^}"
echo "[$scenario] passed"
