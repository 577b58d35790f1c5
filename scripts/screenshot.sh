#!/usr/bin/env bash
# Writes build/kavex-dialog.png and build/kavex-preview.png: the main dialog with a small data set
# opened, and the slice preview of a kavex-sample data set, drawn by Qt on the offscreen platform
# (no display needed). `make screenshot` builds first and then calls this.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${KAVEX_BUILD_DIR:-$root/build}"
out="$build/kavex-dialog.png"
preview="$build/kavex-preview.png"

if [[ ! -x "$build/bin/test_qt" ]]; then
    echo "screenshot: $build/bin/test_qt is missing; build with Qt 6 first (make build)" >&2
    exit 1
fi

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
rm -f "$out" "$preview"
# The test keeps its settings and data set in private folders; only the picture comes out.
KAVEX_SCREENSHOT="$out" KAVEX_PREVIEW_SCREENSHOT="$preview" QT_QPA_PLATFORM=offscreen TMPDIR="$work" \
    "$build/bin/test_qt" --gtest_filter='KavexWindow.PictureOfTheDialogShowsItsControls:Preview.PictureOfThePreview' \
    >"$work/log" 2>&1 || {
    cat "$work/log" >&2
    exit 1
}
for picture in "$out" "$preview"; do
    if [[ ! -s "$picture" ]]; then
        echo "screenshot: $picture was not written" >&2
        exit 1
    fi
    echo "screenshot: $picture"
done
