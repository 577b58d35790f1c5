#!/usr/bin/env bash
# make bench: kavex-convert against the floor (cp, cat) and the tools users would pick instead
# (GraphicsMagick mogrify, ImageMagick mogrify, a numpy + PIL script) on the same slice stacks.
# Every contender runs BENCH_RUNS times (default 3) after its output folder was emptied and
# synced; the sources stay in the page cache. The runs go in rounds, each contender once per
# round, so that a change in the machine's load during the benchmark falls on all of them alike. Medians, MiB/s of source slices and ratios are
# printed as one table per stack. kavex-convert runs with one thread per processor, and once
# more with KAVEX_THREADS=1 to show what converting several files at a time gains.
#
# W6 and W7 measure the edges in memory (/dev/shm), where the disk hides nothing of the program's
# own cost: W6 3000 slices of 64 x 64 BMP converted plainly (the cost per file), W7 32 slices of
# 4096 x 4096 16-bit TIFF renumbered by 1 (the cost per byte and the memory), each against
# `cp -r` of the same folder. Their table adds the spread, the peak resident memory of kavex
# (/usr/bin/time) and the system calls per source file of kavex and cp (strace -c -f, when
# installed). Their stacks are written for the run and removed after it.
#
# Environment: BENCH_STACKS (default "256x1024x1024 64x512x512", slices x width x height),
# BENCH_RUNS, BENCH_DIR (default build/bench), BENCH_WORK (default "W1 W2 W3 W4 W5 W6 W7"),
# BENCH_PEERS (default "gm im numpy"), BENCH_BIN (default build/bin: the programs measured),
# BENCH_MEM (default /dev/shm when present: where W6 and W7 run), BENCH_W7_SLICES (default 32;
# "32 128" shows that the memory does not grow with the number of slices).
set -euo pipefail
export LC_ALL=C

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BIN=${BENCH_BIN:-$ROOT/build/bin}
WORKDIR=${BENCH_DIR:-$ROOT/build/bench}
RUNS=${BENCH_RUNS:-3}
STACKS=${BENCH_STACKS:-"256x1024x1024 64x512x512"}
WORKLOADS=${BENCH_WORK:-"W1 W2 W3 W4 W5 W6 W7"}
W7_SLICES=${BENCH_W7_SLICES:-32}
MEMDIR=${BENCH_MEM:-$([[ -d /dev/shm ]] && echo /dev/shm || echo "$WORKDIR")}/kavex-bench-$$
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

# Peak resident memory in MiB of one untimed run of a shell command into an empty $DST, "-" when
# /usr/bin/time is missing. A command that is one program is that program's peak.
peak_mib() {
  [[ -x /usr/bin/time ]] || { echo -; return; }
  rm -rf "$DST" && mkdir -p "$DST"
  /usr/bin/time -f %M -o "$WORKDIR/peak.txt" bash -c "$1" >/dev/null 2>&1 || { echo fail; return; }
  awk '{printf "%.0f\n", $1 / 1024}' "$WORKDIR/peak.txt"
}

# System calls per source file of one untimed run under strace -c -f, "-" without strace.
calls_per_file() {
  command -v strace >/dev/null || { echo -; return; }
  rm -rf "$DST" && mkdir -p "$DST"
  strace -c -f -o "$WORKDIR/strace.txt" bash -c "$1" >/dev/null 2>&1 || { echo fail; return; }
  awk -v n="$2" '$NF == "total" {printf "%.1f\n", $4 / n}' "$WORKDIR/strace.txt"
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

  local header="| workload | cp s | cat s | kavex s | kavex MiB/s | kavex peak MiB | kavex 1 thread s"
  for p in $PEERS; do header+=" | $p s"; done
  echo
  echo "Stack: $n slices of ${w} x ${h} (BMP $(( $(source_bytes "$stack/bmp" bmp) >> 20 )) MiB, 16-bit TIFF $(( $(source_bytes "$stack/tif" tif) >> 20 )) MiB), median of $RUNS runs"
  header+=" | kavex/cp | kavex/fastest peer |"
  echo "$header"
  echo "$header" | sed 's/[^|]/-/g'
  for wl in $WORKLOADS; do
    [[ $wl == W6 || $wl == W7 ]] && continue
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
    row="| $wl | $cp | $cat | $kv | $(awk -v b="$bytes" -v s="$kv" 'BEGIN { if (s == "fail") print "-"; else printf "%.0f", b / 1048576 / s }') | $(peak_mib "${cmds[2]}") | $kv1"
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

# Seconds as "median (min-max)" of the microsecond times given.
spread_s() {
  if [[ " $* " == *" fail "* ]]; then
    echo fail
    return
  fi
  printf '%s\n' "$@" | sort -n | awk '{v[NR]=$1} END {printf "%.3f (%.3f-%.3f)\n", v[int((NR+1)/2)]/1e6, v[1]/1e6, v[NR]/1e6}'
}

# One edge workload in memory: a stack written for it, kavex-convert with the options given
# beside `cp -r` of the whole folder, in rounds; then memory and system calls, untimed.
bench_edge() {
  local wl=$1 n=$2 w=$3 h=$4 fmt=$5 opts=$6
  export IN=$MEMDIR/$wl-$n DST=$MEMDIR/out
  rm -rf "$IN"
  "$BIN/kavex-sample" --quiet --prefix "$PREFIX" --slices "$n" --size "${w}x${h}" --format "$fmt" "$IN"
  local kv='"$BIN/kavex-convert" --quiet '"$opts"' "$IN/${PREFIX}0000.'"$fmt"'" "$DST/${PREFIX}0000.'"$fmt"'"'
  local cmds=('cp -r "$IN" "$DST/copy"' "$kv" "KAVEX_THREADS=1 $kv") runs=("" "" "") k r
  for ((r = 0; r < RUNS; r++)); do
    for k in 0 1 2; do
      [[ ${runs[k]} == *fail* ]] || runs[k]+="$(time_once "${cmds[k]}") "
    done
  done
  # shellcheck disable=SC2086 # the times are words
  local cp=$(median_s ${runs[0]}) kvm=$(median_s ${runs[1]})
  # shellcheck disable=SC2086
  echo "| $wl | $n x ${w}x${h} $fmt | $(spread_s ${runs[0]}) | $(spread_s ${runs[1]}) | $(median_s ${runs[2]}) | $(ratio "$kvm" "$cp") | $(peak_mib "$kv") | $(calls_per_file "${cmds[0]}" "$n") | $(calls_per_file "$kv" "$n") |"
  rm -rf "$IN" "$DST"
}

bench_edges() {
  local header="| workload | stack | cp -r s (min-max) | kavex s (min-max) | kavex 1 thread s | kavex/cp | kavex peak MiB | cp calls/file | kavex calls/file |"
  echo
  echo "In memory ($MEMDIR), median (min-max) of $RUNS runs; calls are system calls per source slice (strace -c -f)"
  echo "$header"
  echo "$header" | sed 's/[^|]/-/g'
  mkdir -p "$MEMDIR"
  [[ " $WORKLOADS " == *" W6 "* ]] && bench_edge W6 3000 64 64 bmp ""
  if [[ " $WORKLOADS " == *" W7 "* ]]; then
    for n in $W7_SLICES; do bench_edge W7 "$n" 4096 4096 tif "-s 1"; done
  fi
  rm -rf "$MEMDIR"
}

mkdir -p "$WORKDIR"
echo "kavex benchmark on $(nproc) cores, $(date -u +%Y-%m-%dT%H:%MZ)"
echo "W1 BMP -> 16-bit TIFF, W2 BMP -> JPEG q75, W3 BMP -> BMP 1/2 2D, W4 TIFF16 -> TIFF16 1/2 2D, W5 BMP -> BMP 3D by 2"
echo "W6 3000 x 64^2 BMP -> BMP, W7 4096^2 TIFF16 -> TIFF16 shift 1 (both in memory, against cp -r)"
trap 'rm -rf "$MEMDIR"' EXIT
if [[ " $WORKLOADS " =~ \ W[1-5]\  ]]; then
  for s in $STACKS; do
    IFS=x read -r n w h <<<"$s"
    bench_stack "$n" "$w" "$h"
  done
fi
if [[ " $WORKLOADS " == *" W6 "* || " $WORKLOADS " == *" W7 "* ]]; then bench_edges; fi
rm -rf "$WORKDIR/out"
