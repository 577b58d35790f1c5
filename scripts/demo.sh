#!/usr/bin/env bash
# make demo: writes a synthetic CT data set with kavex-sample, converts it with kavex-convert and
# shows what was written. Runs after the build; BIN may point at another build's bin folder.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
bin=${BIN:-$root/build/bin}
out=${DEMO_DIR:-$root/build/demo}

for tool in kavex-sample kavex-convert; do
  if [[ ! -x $bin/$tool ]]; then
    echo "demo: $bin/$tool is missing; run 'make build' first" >&2
    exit 1
  fi
done

rm -rf "$out"
mkdir -p "$out"
# The demo neither reads nor changes the user's stored defaults.
export KAVEX_REGISTRY_DIR="$out/.settings"

run() {
  echo "\$ $*" | sed "s|$bin/||g; s|$out|\$DEMO|g"
  "$@"
}

echo "Demo folder (\$DEMO): $out"
echo
echo "1. A sample data set: 64 slices of 256 x 256, side images, text files and a log"
run "$bin/kavex-sample" --prefix scan --slices 64 --size 256x256 "$out/scan"
echo
echo "2. What kavex-convert sees in it"
run "$bin/kavex-convert" --info "$out/scan/scan0000.bmp"
echo
echo "3. Converted into a new folder and prefix, slices renumbered by 10"
run "$bin/kavex-convert" --quiet --shift 10 --json "$out/scan/scan0000.bmp" "$out/converted/ct????.bmp"
echo

echo "4. Reduced by 2 in every direction with 2D averaging, written as 16-bit TIFF"
run "$bin/kavex-convert" --quiet --resize 2 --interpolation 2d --format tif \
  "$out/scan/scan0000.bmp" "$out/half/half.bmp"
echo

echo "5. An interrupted run completed: three slices removed, --resume writes them (and the companions) again"
rm -f "$out/converted/ct0020.bmp" "$out/converted/ct0021.bmp" "$out/converted/ct0050.bmp"
run "$bin/kavex-convert" --quiet --resume --shift 10 --json "$out/scan/scan0000.bmp" "$out/converted/ct????.bmp"
echo

echo "Written:"
for dir in "$out"/*/; do
  count=$(find "$dir" -maxdepth 1 -type f | wc -l)
  bytes=$(du -sh "$dir" | cut -f1)
  printf '  %-28s %4d files  %6s\n' "\$DEMO/$(basename "$dir")/" "$count" "$bytes"
done
echo
echo "First files of the converted data set:"
find "$out/converted" -maxdepth 1 -type f -printf '  %f  %s bytes\n' | sort | head -n 6
echo "  ..."
echo
echo "Convert your own data set:  $bin/kavex-convert --help"
