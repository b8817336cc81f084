#!/usr/bin/env bash
# orva-gait figure and atlas on the command line: help, refused arguments, an unusable step,
# output that cannot be written, -o against standard output, and threads against one thread.
# Usage: picture_commands.sh ORVA_GAIT WORK_DIR
set -u
gait=$1
dir=$2/picture_commands
rm -rf "$dir" && mkdir -p "$dir"
failures=0

# run STATUS LINES ARGS...: exit status STATUS, and LINES lines on standard error.
run() {
    local want=$1 lines=$2
    shift 2
    "$gait" "$@" >"$dir/out" 2>"$dir/err"
    local got=$? errLines
    errLines=$(wc -l <"$dir/err")
    if [ "$got" -ne "$want" ] || [ "$errLines" -ne "$lines" ]; then
        echo "FAIL: orva-gait $*: status $got (want $want), $errLines lines on stderr (want $lines)"
        cat "$dir/err"
        failures=$((failures + 1))
    fi
}

small=(--lengths 0.1:0.3:4 --speeds 0.1:0.4:3 --clearance 0.03 --clearance 0.22)

run 0 0 figure --help
grep -q '^usage: orva-gait figure' "$dir/out" || { echo "FAIL: figure --help"; failures=$((failures + 1)); }
run 0 0 atlas --help
grep -q '^usage: orva-gait atlas' "$dir/out" || { echo "FAIL: atlas --help"; failures=$((failures + 1)); }

run 2 1 figure
run 2 1 figure --mode 16
run 2 1 figure --mode 1 --mode 2
run 2 1 figure --mode 1 --transition-to x
run 2 1 figure --mode 1 -o
run 2 1 atlas --threads 2 --threads 2
run 2 1 atlas --lengths 0.4:0.02:5
run 2 1 atlas --speeds 0.1:0.2
run 2 1 atlas --clearance
run 2 1 atlas --colour red

run 1 1 figure --mode 0 --transition-to 2
[ -s "$dir/out" ] && { echo "FAIL: output for an unusable step"; failures=$((failures + 1)); }
run 1 1 figure --mode 0 -o "$dir/no/such/dir/figure.svg"
run 1 1 atlas --csv "${small[@]}" -o /dev/full
if [ -w /dev/full ]; then
    "$gait" figure --mode 0 >/dev/full 2>"$dir/err"
    [ $? -eq 1 ] && [ "$(wc -l <"$dir/err")" -eq 1 ] ||
        { echo "FAIL: figure to a full standard output"; failures=$((failures + 1)); }
fi

run 0 0 figure --mode 3 --transition-to 2
mv "$dir/out" "$dir/stdout.svg"
run 0 0 figure --mode 3 --transition-to 2 -o "$dir/file.svg"
cmp -s "$dir/stdout.svg" "$dir/file.svg" || { echo "FAIL: -o differs"; failures=$((failures + 1)); }

run 0 0 atlas --csv "${small[@]}" --threads 1
mv "$dir/out" "$dir/one.csv"
run 0 0 atlas --csv "${small[@]}" --threads 2
cmp -s "$dir/one.csv" "$dir/out" || { echo "FAIL: threads change the CSV"; failures=$((failures + 1)); }
[ "$(wc -l <"$dir/out")" -eq 25 ] || { echo "FAIL: CSV lines"; failures=$((failures + 1)); }

[ "$failures" -eq 0 ] && echo "all picture command checks passed"
exit "$failures"
