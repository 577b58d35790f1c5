#!/usr/bin/env bash
# Installs the Debian packages that the build and the tests need; quiet when all is there.
# With --bench it also installs the peer tools that the benchmark compares against.
set -euo pipefail

packages=(cmake ninja-build g++ clang clang-format ccache make pkg-config
          libjpeg62-turbo-dev libtiff-dev qt6-base-dev libgtest-dev libgmock-dev
          libtiff-tools netpbm imagemagick python3-pil xvfb xauth
          help2man desktop-file-utils dpkg-dev)
if [[ "${1:-}" == "--bench" ]]; then
  packages+=(graphicsmagick libvips-tools python3-numpy hyperfine time strace)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
