#!/usr/bin/env bash
# Fails when a file includes from a folder above its own, so that dependencies run one way:
# core <- platform <- files <- threads, core <- image <- formats, all of them <- dataset,
# then Reg and runtime; the whole library <- engine <- app <- cli, app/qt and tools.
# Folders of one rank (platform and image, threads and formats) do not include each other.
# Within formats, the slice image (FileImageBuffer16) sits above the format readers and writers.
set -euo pipefail
cd "$(dirname "$0")/.."

rank() {
  case "$1" in
    jpeg) echo 0 ;;
    Base/core) echo 1 ;;
    Base/platform | Base/image) echo 2 ;;
    Base/files) echo 3 ;;
    Base/threads | Base/formats) echo 4 ;;
    Base/dataset) echo 5 ;;
    Base/Reg) echo 6 ;;
    Base/runtime) echo 7 ;;
    engine) echo 10 ;;
    app) echo 11 ;;
    cli | app/qt | tools) echo 12 ;;
    *) echo "" ;;
  esac
}

# The layer of a path: its Base subfolder, app/qt, or its top folder.
layer() {
  case "$1" in
    Base/*/*) echo "$1" | cut -d/ -f1-2 ;;
    app/qt/*) echo app/qt ;;
    *) echo "${1%%/*}" ;;
  esac
}

bad=0
while IFS=: read -r file _ line; do
  target=$(sed -n 's/^#include "\([^"]*\)".*/\1/p' <<<"$line")
  from=$(layer "$file")
  to=$(layer "$target")
  [[ "$from" == "$to" ]] && continue
  rf=$(rank "$from")
  rt=$(rank "$to")
  [[ -z "$rf" || -z "$rt" ]] && continue
  if ((rt >= rf)); then
    echo "layering: $file includes $target ($to is not below $from)" >&2
    bad=1
  fi
done < <(git grep -n '^#include "' -- jpeg Base engine app cli tools)
# Inside formats, the readers and writers know nothing of the slice image that dispatches to them.
while IFS=: read -r file _ line; do
  case "$file" in
    Base/formats/FileImageBuffer16.* | Base/formats/FileImageBytes.cpp | Base/formats/*Slice.cpp) continue ;;
  esac
  echo "layering: $file includes the slice image dispatcher (${line#\#include })" >&2
  bad=1
done < <(git grep -n -E '^#include "Base/formats/(FileImageBuffer16|SliceFormats)\.h"' -- Base/formats)
exit $bad
