#!/usr/bin/env bash
# Fails when a tracked C or C++ file differs from .clang-format; with --fix, formats them instead.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c')
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/kavex-format.$$; then
  grep -o '^[^:]*:[0-9]*' /tmp/kavex-format.$$ | sort -u -t: -k1,1 | sed 's/^/unformatted: /' >&2
  rm -f /tmp/kavex-format.$$
  echo "run 'make format' to format them" >&2
  exit 1
fi
rm -f /tmp/kavex-format.$$
