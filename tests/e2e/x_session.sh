# Shared by the Xvfb end-to-end scripts (sourced): a private X server, the program's window,
# keys, screenshots and exit with F4. The sourcing script sets `scenario` first.
work="$(mktemp -d)"
xvfbPid="" orvaPid="" wid=""

trap 'kill $orvaPid $xvfbPid 2>/dev/null; rm -rf "$work"' EXIT

fail() {
    echo "FAIL [$scenario]: $*" >&2
    # The shots, for a look at what went wrong.
    [ -z "${out:-}" ] || { mkdir -p "$out/failed-$scenario" && cp "$work"/*.png "$out/failed-$scenario/" 2>/dev/null; } || true
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
