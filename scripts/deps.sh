#!/usr/bin/env bash
# Installs the Debian packages Tesselon needs to build, run and test, skipping those already present.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev qt6-image-formats-plugins qt6-qpa-plugins
  qt6-translations-l10n libqt6svg6
  libsane-dev sane-utils libsane1 libemf-dev
  fonts-dejavu-core
  libbenchmark-dev
  clang libclang-rt-14-dev
  libpoppler-qt6-dev libjpeg62-turbo-dev libpng-dev libtiff-dev
  python3 python3-ezdxf librsvg2-bin poppler-utils
  xauth xvfb
  libxlsxwriter-dev
  file dpkg-dev desktop-file-utils appstream shared-mime-info xdg-utils libfile-mimeinfo-perl
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
