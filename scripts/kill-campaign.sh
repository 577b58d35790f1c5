#!/usr/bin/env bash
# Kill campaign: kavex-convert is killed (SIGKILL) at random moments and resumed until it ends;
# the result must equal, byte for byte, that of a run that was never interrupted, with no file
# more or less (temporary files, lock files) and, with --keep-file-times, the same slice times.
#
#   scripts/kill-campaign.sh [KILLS]      (default 120 kills; not part of make test)
# Environment: CAMPAIGN_SLICES (default 3000), CAMPAIGN_SIZE (default 32x24), CAMPAIGN_DIR
# (default a new folder under $TMPDIR), CAMPAIGN_BIN (default build/bin).
set -uo pipefail
export LC_ALL=C

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BIN=${CAMPAIGN_BIN:-$ROOT/build/bin}
KILLS=${1:-120}
SLICES=${CAMPAIGN_SLICES:-3000}
SIZE=${CAMPAIGN_SIZE:-32x24}
WORK=${CAMPAIGN_DIR:-$(mktemp -d "${TMPDIR:-/tmp}/kavex-campaign-XXXXXX")}
export KAVEX_REGISTRY_DIR=$WORK/registry

# Option sets the trials take in turn; each has its own uninterrupted reference.
CONFIGS=(
    "--vgi"
    "--vgi --format tif --shift 7"
    "--vgi --format jpg --resize 2 --interpolation 3d --keep-file-times"
    "--vgi --resize 4 --interpolation 2d --keep-file-times --invert-raw"
)

"$BIN/kavex-sample" --quiet --slices "$SLICES" --size "$SIZE" "$WORK/src" || exit 2
SOURCE=$WORK/src/scan0000.bmp

# Names, sizes and bytes of every entry, hidden ones included; slice times when asked.
describe() {
    local folder=$1 times=$2
    (cd "$folder" && find . -mindepth 1 -printf '%y %P\n' | sort && find . -type f -print0 | sort -z | xargs -0 md5sum)
    if [ "$times" = 1 ]; then (cd "$folder" && find . -type f -name 'q[0-9]*' -printf '%P %T@\n' | sort); fi
}

# Runs kavex-convert and kills it after a random delay; prints the exit status.
killed_run() {
    local mode=$1 config=$2 delay
    # shellcheck disable=SC2086
    "$BIN/kavex-convert" --quiet $mode $config "$SOURCE" "$WORK/out/q.bmp" >/dev/null 2>&1 &
    local pid=$!
    delay=$(awk -v r="$RANDOM" -v m="$MAXDELAY" 'BEGIN { printf "%.3f", r / 32768 * m }')
    sleep "$delay"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid"
    echo $?
}

kills=0 missed=0 trials=0 mismatches=0 strays=0
for c in "${!CONFIGS[@]}"; do
    config=${CONFIGS[$c]}
    times=0
    [[ $config == *keep-file-times* ]] && times=1
    rm -rf "$WORK/out"
    start=$(date +%s.%N)
    # shellcheck disable=SC2086
    "$BIN/kavex-convert" --quiet $config "$SOURCE" "$WORK/out/q.bmp" || { echo "reference failed: $config"; exit 2; }
    MAXDELAY=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.3f", (e - s) * 1.2 }')
    rm -rf "$WORK/ref.$c" && mv "$WORK/out" "$WORK/ref.$c"
    describe "$WORK/ref.$c" "$times" >"$WORK/ref.$c.txt"
done

c=0
while [ "$kills" -lt "$KILLS" ]; do
    config=${CONFIGS[$c]}
    times=0
    [[ $config == *keep-file-times* ]] && times=1
    trials=$((trials + 1))
    # Every other trial starts from a complete data set that it overwrites, the others from an
    # empty folder; either is killed, resumed and killed again, then resumed to its end.
    rm -rf "$WORK/out"
    [ $((trials % 2)) = 0 ] && cp -a "$WORK/ref.$c" "$WORK/out"
    mode=--overwrite
    for ((k = 0; k < 1 + RANDOM % 3; ++k)); do
        status=$(killed_run "$mode" "$config")
        if [ "$status" = 137 ]; then kills=$((kills + 1)); else missed=$((missed + 1)); fi
        mode=--resume
    done
    # shellcheck disable=SC2086
    "$BIN/kavex-convert" --quiet --resume $config "$SOURCE" "$WORK/out/q.bmp" >/dev/null 2>"$WORK/last.err"
    status=$?
    describe "$WORK/out" "$times" >"$WORK/out.txt"
    if [ "$status" != 0 ] || ! cmp -s "$WORK/out.txt" "$WORK/ref.$c.txt"; then
        mismatches=$((mismatches + 1))
        echo "trial $trials ($config): exit $status, differences:"
        diff "$WORK/ref.$c.txt" "$WORK/out.txt" | head -5
        head -3 "$WORK/last.err"
    fi
    extra=$(diff <(grep '^[fdl] ' "$WORK/ref.$c.txt") <(grep '^[fdl] ' "$WORK/out.txt") | grep -c '^>')
    strays=$((strays + extra))
    c=$(((c + 1) % ${#CONFIGS[@]}))
done

echo "kill campaign: $SLICES slices of $SIZE, $trials trials, $kills kills (+$missed runs that ended first)," \
    "$mismatches mismatches, $strays stray files"
[ -z "${CAMPAIGN_DIR:-}" ] && rm -rf "$WORK"
[ "$mismatches" = 0 ] && [ "$strays" = 0 ]
