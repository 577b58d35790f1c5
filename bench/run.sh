#!/usr/bin/env bash
# make bench: kavex-convert against the floor (cp, cat) and the tools users would pick instead
# (GraphicsMagick mogrify, ImageMagick mogrify, a numpy + PIL script) on the same slice stacks.
# Every contender runs BENCH_RUNS times (default 3) after its output folder was emptied and
# synced; the sources stay in the page cache. The runs go in rounds, each contender once per
# round, so that a change in the machine's load during the benchmark falls on all of them alike. Medians, MiB/s of source slices and ratios are
# printed as one table per stack. kavex-convert runs with one thread per processor, and once
# more with KAVEX_THREADS=1 to show what converting several files at a time gains.
#
# Environment: BENCH_STACKS (default "256x1024x1024 64x512x512", slices x width x height),
# BENCH_RUNS, BENCH_DIR (default build/bench), BENCH_WORK (default "W1 W2 W3 W4 W5"),
# BENCH_PEERS (default "gm im numpy"), BENCH_BIN (default build/bin: the programs measured).
set -euo pipefail
export LC_ALL=C

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BIN=${BENCH_BIN:-$ROOT/build/bin}
WORKDIR=${BENCH_DIR:-$ROOT/build/bench}
RUNS=${BENCH_RUNS:-3}
STACKS=${BENCH_STACKS:-"256x1024x1024 64x512x512"}
WORKLOADS=${BENCH_WORK:-"W1 W2 W3 W4 W5"}
PEERS=${BENCH_PEERS:-"gm im numpy"}
PREFIX=rec

bash "$ROOT/scripts/install-deps.sh" --bench
IM=$(command -v mogrify-im6.q16 || command -v mogrify || true)
IMC=$(command -v convert-im6.q16 || command -v convert || true)
PY=/usr/bin/python3
export BIN PREFIX IM IMC PY PEER="$ROOT/bench/peer_numpy.py"

median() { sort -n | awk '{v[NR]=$1} END {print v[int((NR+1)/2)]}'; }

# Times one run of a shell command into an empty $DST: microseconds, or "fail".
time_once() {
  local cmd=$1 t0 t1
  rm -rf "$DST" && mkdir -p "$DST" && sync
  t0=$(date +%s%N)
  if ! bash -c "$cmd" >/dev/null 2>"$WORKDIR/last-error.txt"; then
    echo fail
    return
  fi
  t1=$(date +%s%N)
  echo "$(( (t1 - t0) / 1000 ))"
}

# Median seconds of the microsecond times given, or "fail" when a run failed.
median_s() {
  if [[ " $* " == *" fail "* ]]; then
    echo fail
    return
  fi
  printf '%s\n' "$@" | median | awk '{printf "%.3f\n", $1 / 1e6}'
}

# The command of one contender for one workload; empty when it has none.
command_for() {
  local who=$1 wl=$2
  local slices='"$PREFIX"[0-9][0-9][0-9][0-9]'
  local pairs='set -- "$IN"/'"$slices"'.bmp; k=0; while [ $# -ge 2 ]; do o=$(printf "%s/%s%04d.bmp" "$DST" "$PREFIX" $k);'
  case "$who:$wl" in
    cp:*) echo 'cp "$IN"/'"$slices"'."$EXT" "$DST"/' ;;
    cat:*) echo 'cat "$IN"/'"$slices"'."$EXT" > /dev/null' ;;
    kavex:W1) echo '"$BIN/kavex-convert" --quiet "$IN/${PREFIX}0000.bmp" "$DST/${PREFIX}0000.tif"' ;;
    kavex:W2) echo '"$BIN/kavex-convert" --quiet -q 75 "$IN/${PREFIX}0000.bmp" "$DST/${PREFIX}0000.jpg"' ;;
    kavex:W3) echo '"$BIN/kavex-convert" --quiet -r 2 -i 2d "$IN/${PREFIX}0000.bmp" "$DST/${PREFIX}0000.bmp"' ;;
    kavex:W4) echo '"$BIN/kavex-convert" --quiet -r 2 -i 2d "$IN/${PREFIX}0000.tif" "$DST/${PREFIX}0000.tif"' ;;
    kavex:W5) echo '"$BIN/kavex-convert" --quiet -r 2 -i 3d "$IN/${PREFIX}0000.bmp" "$DST/${PREFIX}0000.bmp"' ;;
    gm:W1) echo 'cd "$IN" && gm mogrify -output-directory "$DST" -format tif -depth 16 -define tiff:endian=lsb -compress None '"$slices"'.bmp' ;;
    gm:W2) echo 'cd "$IN" && gm mogrify -output-directory "$DST" -format jpg -quality 75 '"$slices"'.bmp' ;;
    gm:W3) echo 'cd "$IN" && gm mogrify -output-directory "$DST" -scale 50% +dither -colors 256 -compress None '"$slices"'.bmp' ;;
    gm:W4) echo 'cd "$IN" && gm mogrify -output-directory "$DST" -scale 50% -define tiff:endian=lsb -compress None '"$slices"'.tif' ;;
    gm:W5) echo "$pairs"' gm convert "$1" "$2" -average miff:- | gm convert miff:- -scale 50% +dither -colors 256 -compress None "$o" || exit 1; k=$((k+1)); shift 2; done' ;;
    im:W1) echo 'cd "$IN" && "$IM" -path "$DST" -format tif -depth 16 -define tiff:endian=lsb -compress None '"$slices"'.bmp' ;;
    im:W2) echo 'cd "$IN" && "$IM" -path "$DST" -format jpg -quality 75 '"$slices"'.bmp' ;;
    im:W3) echo 'cd "$IN" && "$IM" -path "$DST" -scale 50% +dither -colors 256 -compress None '"$slices"'.bmp' ;;
    im:W4) echo 'cd "$IN" && "$IM" -path "$DST" -scale 50% -define tiff:endian=lsb -compress None '"$slices"'.tif' ;;
    im:W5) echo "$pairs"' "$IMC" "$1" "$2" -evaluate-sequence mean -scale 50% +dither -colors 256 -compress None "$o" || exit 1; k=$((k+1)); shift 2; done' ;;
    numpy:*) echo '"$PY" "$PEER" '"$wl"' "$IN" "$PREFIX" "$DST"' ;;
  esac
}

source_bytes() { cat "$1"/"$PREFIX"[0-9][0-9][0-9][0-9]."$2" | wc -c; }

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (a == "fail" || b == "fail" || b == 0) print "-"; else printf "%.2f", a / b }'; }

bench_stack() {
  local n=$1 w=$2 h=$3
  local stack=$WORKDIR/stack-${n}x${w}x${h}
  if [[ ! -f $stack/done ]]; then
    rm -rf "$stack"
    "$BIN/kavex-sample" --quiet --prefix "$PREFIX" --slices "$n" --size "${w}x${h}" --format bmp "$stack/bmp"
    "$BIN/kavex-sample" --quiet --prefix "$PREFIX" --slices "$n" --size "${w}x${h}" --format tif "$stack/tif"
    touch "$stack/done"
  fi
  cat "$stack"/bmp/* "$stack"/tif/* > /dev/null

  local header="| workload | cp s | cat s | kavex s | kavex MiB/s | kavex 1 thread s"
  for p in $PEERS; do header+=" | $p s"; done
  echo
  echo "Stack: $n slices of ${w} x ${h} (BMP $(( $(source_bytes "$stack/bmp" bmp) >> 20 )) MiB, 16-bit TIFF $(( $(source_bytes "$stack/tif" tif) >> 20 )) MiB), median of $RUNS runs"
  header+=" | kavex/cp | kavex/fastest peer |"
  echo "$header"
  echo "$header" | sed 's/[^|]/-/g'
  for wl in $WORKLOADS; do
    export EXT=bmp IN=$stack/bmp DST=$WORKDIR/out
    [[ $wl == W4 ]] && export EXT=tif IN=$stack/tif
    local bytes row fastest="" k r
    local names=(cp cat kavex kavex1 $PEERS) cmds=() runs=() med=()
    bytes=$(source_bytes "$IN" "$EXT")
    for who in "${names[@]}"; do
      if [[ $who == kavex1 ]]; then
        cmds+=("KAVEX_THREADS=1 $(command_for kavex "$wl")")
      else
        cmds+=("$(command_for "$who" "$wl")")
      fi
      runs+=("")
    done
    for ((r = 0; r < RUNS; r++)); do
      for k in "${!names[@]}"; do
        [[ ${runs[k]} == *fail* ]] || runs[k]+="$(time_once "${cmds[k]}") "
      done
    done
    for k in "${!names[@]}"; do
      # shellcheck disable=SC2086 # the times are words
      med+=("$(median_s ${runs[k]})")
    done
    local cp=${med[0]} cat=${med[1]} kv=${med[2]} kv1=${med[3]}
    row="| $wl | $cp | $cat | $kv | $(awk -v b="$bytes" -v s="$kv" 'BEGIN { if (s == "fail") print "-"; else printf "%.0f", b / 1048576 / s }') | $kv1"
    for ((k = 4; k < ${#names[@]}; k++)); do
      local t=${med[k]}
      row+=" | $t"
      if [[ $t != fail ]] && { [[ -z $fastest ]] || awk -v a="$t" -v b="$fastest" 'BEGIN { exit !(a < b) }'; }; then
        fastest=$t
      fi
    done
    echo "$row | $(ratio "$kv" "$cp") | $(ratio "$kv" "${fastest:-fail}") |"
  done
}

mkdir -p "$WORKDIR"
echo "kavex benchmark on $(nproc) cores, $(date -u +%Y-%m-%dT%H:%MZ)"
echo "W1 BMP -> 16-bit TIFF, W2 BMP -> JPEG q75, W3 BMP -> BMP 1/2 2D, W4 TIFF16 -> TIFF16 1/2 2D, W5 BMP -> BMP 3D by 2"
for s in $STACKS; do
  IFS=x read -r n w h <<<"$s"
  bench_stack "$n" "$w" "$h"
done
rm -rf "$WORKDIR/out"
