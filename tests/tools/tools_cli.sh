#!/usr/bin/env bash
# The tools' command-line conventions, exit statuses and streams: --help on standard output
# with 0, --version, one line on standard error with 2 for a wrong or repeated option, 1 with
# one line when standard output cannot be written (/dev/full), inspect's 0/1/2, and make's
# whole-or-nothing files on a full disk (a file-size limit). With ORVA, its --help and
# --version, which open no window.
# Usage: tools_cli.sh ORVA_GAIT ORVA_ASSETS DATA_DIR [ORVA]
set -uo pipefail
gait="$1" assets="$2" data="$3" orva="${4:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
failures=0
status=0

run() { # command...; status, standard output and error kept for the checks
    timeout 120 "$@" >"$work/out" 2>"$work/err"
    status=$?
}
check() { # description, then a condition on $status, $work/out and $work/err
    if ! eval "$2"; then
        echo "FAIL: $1 (status $status)"
        sed 's/^/  stderr: /' "$work/err" | head -5
        failures=$((failures + 1))
    fi
}
lines() { grep -c '' "$work/$1"; }
oneError() { [ "$(lines err)" -eq 1 ] && ! grep -q 'Sanitizer\|runtime error' "$work/err"; }
expectUsage() { # description command...: one line on standard error, nothing on output, 2
    local description="$1"
    shift
    run "$@"
    check "$description" '[ $status -eq 2 ] && oneError && [ ! -s $work/out ]'
}
expectFullDisk() { # description command...: standard output is /dev/full
    timeout 300 "${@:2}" >/dev/full 2>"$work/err"
    status=$?
    check "$1 on a full disk" '[ $status -eq 1 ] && oneError'
}

for tool in "$gait" "$assets" $orva; do
    name="$(basename "$tool")"
    env -u DISPLAY "$tool" --help >"$work/out" 2>"$work/err"
    status=$?
    check "$name --help" '[ $status -eq 0 ] && grep -q "^usage: $name" $work/out && [ ! -s $work/err ]'
    run env -u DISPLAY "$tool" --version
    check "$name --version" '[ $status -eq 0 ] && grep -qx "$name [0-9.]*" $work/out'
    expectFullDisk "$name --help" env -u DISPLAY "$tool" --help
done
if [ -n "$orva" ]; then
    run env -u DISPLAY "$orva" --help
    check "orva --help tells the keys and the data files" \
        'grep -q "^F4: exit" $work/out && grep -q "basicpiece.3ds" $work/out'
fi

expectUsage "unknown option" "$gait" --bogus
expectUsage "unknown command" "$assets" bogus
expectUsage "repeated --transitions" "$gait" steps --transitions --transitions
expectUsage "repeated --calls" "$gait" walk --calls 3 --calls 4
expectUsage "a key the program ignores" "$gait" walk --calls 3 --keys 2:xy
expectUsage "keys after the last call" "$gait" walk --calls 3 --keys 4:x
expectUsage "inspect with an option" "$assets" inspect --all
run "$gait" walk --calls 3 --keys 1:xxz,3:w
check "walk prints a header and three passes" '[ $status -eq 0 ] && [ "$(lines out)" -eq 4 ]'
expectFullDisk "steps" "$gait" steps
expectFullDisk "walk" "$gait" walk --calls 2000
expectFullDisk "inspect" "$assets" inspect "$data"/*

# inspect: 0 when all load whole; 1 for a missing, refused, cut-short or non-regular file.
run "$assets" inspect "$data"/*
check "inspect of the data set" '[ $status -eq 0 ] && [ "$(lines out)" -gt 11 ]'
head -c 3000 "$data/basicpiece.3ds" >"$work/cut.3ds"
run "$assets" inspect "$work/cut.3ds"
check "a cut-short mesh" '[ $status -eq 1 ] && grep -q "damaged at byte [0-9]" $work/out'
mkfifo "$work/pipe.tga"
run "$assets" inspect "$work/missing.tga" "$work/pipe.tga" "$data/Top.tga"
check "missing and pipe, before a good file" '[ $status -eq 1 ] && grep -q "missing.tga: missing" $work/out &&
    grep -q "pipe.tga: refused (not a regular file)" $work/out'

# make: names each file written; on a full disk, one line and no file cut short (the data set
# itself is made by the build).
(trap '' XFSZ && ulimit -f 150 && exec timeout 600 "$assets" make "$work/full") >"$work/out" 2>"$work/err"
status=$?
check "make on a full disk" '[ $status -eq 1 ] && oneError && grep -q "^wrote .*footpiece.3ds" $work/out &&
    [ -z "$(ls $work/full | grep -v "\.3ds$")" ]'
run "$assets" inspect "$work"/full/*
check "files make kept on a full disk load whole" '[ $status -eq 0 ]'

echo "$failures failed"
[ "$failures" -eq 0 ]
