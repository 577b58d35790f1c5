#!/usr/bin/env bash
# Installs the build into a scratch prefix, moves the prefix (a relocated installation must still
# work), checks the layout, the desktop entry and the man pages, and converts a sample with the
# installed programs.  Usage: check-install.sh BUILD_DIR WITH_DESKTOP(0|1)
set -euo pipefail
build=$1 desktop=$2
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kavex-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$scratch/first" >/dev/null
mv "$scratch/first" "$scratch/p"
p=$scratch/p

programs=(kavex-convert kavex-sample)
[[ $desktop == 1 ]] && programs+=(kavex)
files=(share/doc/kavex/README.md share/doc/kavex/batch.md share/doc/kavex/help/Main.htm)
for prog in "${programs[@]}"; do files+=("bin/$prog" "share/man/man1/$prog.1.gz"); done
if [[ $desktop == 1 ]]; then
  files+=(share/applications/kavex.desktop share/icons/hicolor/scalable/apps/kavex.svg
          share/icons/hicolor/48x48/apps/kavex.png share/icons/hicolor/256x256/apps/kavex.png)
fi
for f in "${files[@]}"; do [[ -s $p/$f ]] || fail "not installed: $f"; done
if [[ $desktop == 1 ]] && command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$p/share/applications/kavex.desktop" || fail "desktop entry not valid"
fi

# Every option that --help names is in the man page.
for prog in "${programs[@]}"; do
  page=$(zcat "$p/share/man/man1/$prog.1.gz" | sed 's/\\-/-/g')
  for option in $("$p/bin/$prog" --help | grep -oE -- '(^|[ ,])--?[a-zA-Z][a-zA-Z0-9-]*' | tr -d ' ,' | sort -u); do
    grep -qe "$option\b" <<<"$page" || fail "$prog.1 does not name $option"
  done
done

export KAVEX_REGISTRY_DIR=$scratch/registry
"$p/bin/kavex-sample" --quiet --slices 3 --size 16x16 "$scratch/src"
"$p/bin/kavex-convert" --quiet -f tif "$scratch/src/scan0000.bmp" "$scratch/out/q.tif"
for n in 0000 0001 0002; do [[ -s $scratch/out/q$n.tif ]] || fail "the installed converter wrote no q$n.tif"; done
echo "installed and relocated: ${#files[@]} files, ${#programs[@]} programs"
