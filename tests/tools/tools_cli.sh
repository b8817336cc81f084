#!/usr/bin/env bash
# The tools' command-line conventions: --help and --version on standard output with 0; a wrong
# or repeated option: one line on standard error, nothing on output, 2; a failed step or output
# that cannot be written (/dev/full, a missing folder, a file-size limit): one line and 1. Then
# figure -o against standard output, atlas -o, inspect's verdicts and make's whole files on a
# full disk. With ORVA, its --help and --version, which open no window.
# Usage: tools_cli.sh ORVA_GAIT ORVA_ASSETS DATA_DIR [ORVA]
set -u
gait=$1 assets=$2 data=$3 orva=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*" && sed 's/^/  stderr: /' "$work/err" | head -5 && failures=$((failures + 1)); }

# run STATUS LINES COMMAND...: exit status STATUS and LINES lines on standard error; standard
# output in $work/out, or in $OUT when set.
run() {
    local want=$1 lines=$2 && shift 2
    timeout 300 env -u DISPLAY "$@" >"${OUT:-$work/out}" 2>"$work/err"
    local got=$?
    [ "$got" -eq "$want" ] && [ "$(grep -c '' "$work/err")" -eq "$lines" ] &&
        ! grep -q 'Sanitizer\|runtime error' "$work/err" || fail "$* (status $got; want $want, $lines on stderr)"
}

for tool in "$gait" "$assets" $orva; do # --help last: orva's is checked below
    name=$(basename "$tool")
    run 0 0 "$tool" --version
    grep -qx "$name [0-9.]*" "$work/out" || fail "$name --version"
    OUT=/dev/full run 1 1 "$tool" --help
    run 0 0 "$tool" --help
    grep -q "^usage: $name" "$work/out" || fail "$name --help"
done
[ -z "$orva" ] || { grep -q "^F4: exit" "$work/out" && grep -q "basicpiece.3ds" "$work/out"; } ||
    fail "orva --help tells the keys and the data files"

# STATUS LINES OUTPUT TOOL ARGS...: OUTPUT "-" for a file, "full" for /dev/full.
small="--lengths 0.1:0.3:4 --speeds 0.1:0.4:3 --clearance 0.03 --clearance 0.22"
while read -r status lines output tool args; do
    [ "$output" = full ] && out=/dev/full || out=$work/out
    # shellcheck disable=SC2086 # the arguments are split on purpose
    OUT=$out run "$status" "$lines" "${!tool}" $args
    [ "$status" -eq 0 ] || [ "$output" = full ] || [ ! -s "$work/out" ] || fail "$tool $args wrote output"
done <<EOF
2 1 - gait --bogus
2 1 - gait figure
2 1 - gait figure --mode 16
2 1 - gait figure --mode 1 --mode 2
2 1 - gait figure --mode 1 --transition-to x
2 1 - gait figure --mode 1 -o
2 1 - gait atlas --lengths 0.4:0.02:5
2 1 - gait atlas --speeds 0.1:0.2
2 1 - gait atlas --colour red
2 1 - gait dynamics --mode 16
2 1 - gait dynamics --mode 0 --samples 1
2 1 - gait dynamics --mode 0 --summary --summary
2 1 - gait steps --transitions --transitions
2 1 - gait figure --help --bogus
0 0 - gait steps --help --bogus
0 0 - gait walk --calls 2 --change 1:mode=1 --change 2:mode=2
2 1 - gait walk --calls 3 --calls 4
2 1 - gait walk --calls 3 --keys 2:xy
2 1 - gait walk --calls 3 --keys 4:x
2 1 - gait walk --calls 3 --keys 0:x
2 1 - gait walk --calls
2 1 - gait walk --calls 9 --gait mode=0,stride=1
2 1 - gait walk --calls 9 --change 3:meanSpeed=nan
2 1 - gait steps --gait backDrop=0.1
2 1 - gait figure --gait mode=1 --mode 1
2 1 - gait dynamics --gait clearance=-1
2 1 - gait drift --mode 0 --free knee
2 1 - gait drift --mode 0 --samples 1
2 1 - gait drift --gait mode=1 --transition-to 2
2 1 - gait mjcf --stance-rooted --stance-rooted
2 1 - gait mjcf --rooted
2 1 - gait figure --mode 0 --free torso
2 1 - gait figure --mode 0 --drift --free knee
2 1 - assets bogus
2 1 - assets inspect --all
2 1 - assets inspect
1 1 - gait figure --mode 0 --transition-to 2
1 1 - gait dynamics --mode 0 --transition-to 2 --summary
1 1 full gait dynamics --mode 0
1 1 - gait drift --mode 0 --transition-to 2 --summary
1 1 full gait mjcf
1 1 - gait figure --mode 0 -o $work/no/such/dir/figure.svg
1 1 - gait atlas --csv $small -o /dev/full
1 1 full gait figure --mode 0
1 1 full gait steps
1 1 full gait walk --calls 2000
1 1 full assets inspect $data/*
1 1 - gait walk --calls 9 --gait meanSpeed=0
1 1 - gait steps --gait meanSpeed=0
1 1 - gait figure --gait meanSpeed=0
0 1 - gait walk --calls 9 --change 3:meanSpeed=0
0 0 - gait walk --calls 3 --keys 1:xxz,3:w
EOF
[ "$(grep -c '' "$work/out")" -eq 4 ] || fail "walk prints a header and three passes"

# A gait named by its base row alone is that row: --gait mode=0 walks as the plain walk, its
# trace with four columns more; one whose fields equal row 6's walks as row 6.
run 0 0 "$gait" walk --calls 3000
mv "$work/out" "$work/plain.csv"
run 0 0 "$gait" walk --calls 3000 --gait mode=0
cut -d, -f1-15 "$work/out" | cmp -s - "$work/plain.csv" || fail "walk --gait mode=0"
run 0 0 "$gait" walk --calls 3000 --gait mode=6
cut -d, -f5- "$work/out" >"$work/row.csv"
run 0 0 "$gait" walk --calls 3000 --gait backStep=0.2,foreStep=0.2,meanSpeed=0.28,clearance=0.22
cut -d, -f5- "$work/out" | cmp -s - "$work/row.csv" || fail "a custom gait equal to row 6"

run 0 0 "$gait" figure --mode 3 --transition-to 2 -o "$work/file.svg"
run 0 0 "$gait" figure --mode 3 --transition-to 2
cmp -s "$work/out" "$work/file.svg" || fail "figure -o differs from standard output"
# shellcheck disable=SC2086
run 0 0 "$gait" atlas --csv $small --threads 2 -o "$work/atlas.csv"
[ "$(grep -c '' "$work/atlas.csv")" -eq 25 ] || fail "atlas CSV: a header and 4 x 3 x 2 rows"

# dynamics: a header and K lines, cop and friction empty where the ground would pull (mode 12 at
# mid-step); the summary as one JSON object.
run 0 0 "$gait" dynamics --mode 12 --samples 7
[ "$(grep -c '' "$work/out")" -eq 8 ] && sed -n 5p "$work/out" | grep -q ',,,-\?[0-9]' ||
    fail "dynamics CSV"
run 0 0 "$gait" dynamics --mode 15 --transition-to 0 --summary
grep -q '^{"mode":15,"to":0,"usable":true,"duration":.*"costOfTransport":[0-9.e-]*}$' "$work/out" ||
    fail "dynamics summary"

# drift: a header and K lines; the summary as one JSON object, null where nothing lands early.
run 0 0 "$gait" drift --mode 3 --free both --samples 5
[ "$(grep -c '' "$work/out")" -eq 6 ] || fail "drift CSV"
run 0 0 "$gait" drift --mode 3 --summary
grep -q '^{"mode":3,"to":3,"free":"ankle","duration":.*,"earlyContact":null}$' "$work/out" ||
    fail "drift summary"

# inspect: 0 when all load whole; 1 for a missing, refused, cut-short or non-regular file.
run 0 0 "$assets" inspect "$data"/*
[ "$(grep -c '' "$work/out")" -gt 11 ] || fail "inspect of the data set"
head -c 3000 "$data/basicpiece.3ds" >"$work/cut.3ds"
run 1 0 "$assets" inspect "$work/cut.3ds"
grep -q "damaged at byte [0-9]" "$work/out" || fail "a cut-short mesh"
mkfifo "$work/pipe.tga"
run 1 0 "$assets" inspect "$work/missing.tga" "$work/pipe.tga" "$data/Top.tga"
grep -q "missing.tga: missing" "$work/out" && grep -q "pipe.tga: refused (not a regular file)" \
    "$work/out" || fail "missing and pipe, before a good file"

# make names each file written; on a full disk, one line and no file cut short (the data set
# itself is made by the build).
run 1 1 bash -c 'trap "" XFSZ && ulimit -f 150 && exec "$0" make "$1"' "$assets" "$work/full"
grep -q "^wrote .*footpiece.3ds" "$work/out" && [ -z "$(find "$work/full" -type f ! -name '*.3ds')" ] ||
    fail "make on a full disk"
run 0 0 "$assets" inspect "$work"/full/*

echo "$failures failed" && [ "$failures" -eq 0 ]
