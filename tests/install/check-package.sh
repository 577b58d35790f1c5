#!/usr/bin/env bash
# Builds the Debian package into a scratch folder and checks its fields and files.
# Usage: check-package.sh BUILD_DIR; exits 77 (skipped) without dpkg-deb.
set -euo pipefail
build=$1
command -v dpkg-deb >/dev/null && command -v dpkg-shlibdeps >/dev/null || exit 77
scratch=$(mktemp -d "${TMPDIR:-/tmp}/kavex-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log"; fail "cpack"; }
deb=$(ls "$scratch"/kavex_*.deb)
field() { dpkg-deb -f "$deb" "$1"; }
[[ $(field Package) == kavex ]] || fail "package name $(field Package)"
[[ $(field Section) == science ]] || fail "section $(field Section)"
[[ -n $(field Maintainer) && -n $(field Description) && -n $(field Version) ]] || fail "empty fields"
depends=$(field Depends)
grep -q 'libjpeg62-turbo' <<<"$depends" || fail "Depends lacks libjpeg-turbo: $depends"
grep -q 'libqt6widgets6' <<<"$depends" || fail "Depends lacks Qt 6: $depends"
listing=$(dpkg-deb -c "$deb")
for f in usr/bin/kavex usr/bin/kavex-convert usr/bin/kavex-sample usr/share/applications/kavex.desktop \
         usr/share/man/man1/kavex-convert.1.gz usr/share/doc/kavex/help/Main.htm; do
  grep -q "\./$f\$" <<<"$listing" || fail "the package lacks $f"
done
echo "$(basename "$deb"): Depends: $depends"
