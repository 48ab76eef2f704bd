#!/usr/bin/env bash
# Builds the Release program, packs it with `cpack -G DEB`, installs the package as a user would
# (dpkg -i, then apt-get install -f for what it needs) and checks the installed program and its
# desktop integration from /usr: help, version, translations, an export, the menu entry, the
# program description, the project file type and the thumbnailer. Removes the package at the end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive

build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSELON_WERROR=ON -DTESSELON_TESTS=OFF
cmake --build "$build" --parallel "$(nproc)"
rm -f "$build"/tesselon_*.deb
(cd "$build" && cpack -G DEB)
deb=$(ls "$build"/tesselon_*.deb)

work=$(mktemp -d)
remove_package() {
  "${sudo_cmd[@]}" apt-get remove -y -q tesselon >/dev/null || true
  rm -rf "$work"
}
trap remove_package EXIT

fail() {
  echo "package check: $*" >&2
  exit 1
}

"${sudo_cmd[@]}" dpkg -i "$deb" || "${sudo_cmd[@]}" apt-get install -f -y -q
dpkg-query -W -f='${Status}\n' tesselon | grep -q 'install ok installed' || fail "the package is not installed"

export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$work/config"
program=/usr/bin/tesselon
[ -x "$program" ] || fail "$program is missing"

"$program" --help | grep -q -- '--export' || fail "--help does not show the usage"
"$program" --version | grep -Eq '^tesselon [0-9]+\.[0-9]+' || fail "--version does not print the version"
# English help proves that the installed program finds its translation table.
"$program" --help --language 1 | grep -q 'shows this help' || fail "the translation table is not found"

"$program" --demo /usr/share/tesselon/sample-plan.png "$work/plan.ver" >/dev/null
"$program" --export csv "$work/plan.ver" "$work/results.csv" --scale 100 1 m
[ "$(head -c 3 "$work/results.csv" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "the CSV has no byte-order mark"
[ "$(wc -l < "$work/results.csv")" -gt 1 ] || fail "the CSV holds no results"

desktop-file-validate /usr/share/applications/org.kovrant.Tesselon.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.kovrant.Tesselon.metainfo.xml
[ -f /usr/share/man/man1/tesselon.1 ] || [ -f /usr/share/man/man1/tesselon.1.gz ] || fail "the man page is missing"
for icon in hicolor/scalable/apps/tesselon.svg hicolor/48x48/apps/tesselon.png \
            hicolor/256x256/mimetypes/application-x-tesselon-project.png; do
  [ -f "/usr/share/icons/$icon" ] || fail "icon $icon is missing"
done

# The file type, by name and, for a project without its suffix, by content.
type=$(XDG_DATA_DIRS=/usr/share xdg-mime query filetype "$work/plan.ver")
[ "$type" = application/x-tesselon-project ] || fail "a .ver file has the type '$type'"
cp "$work/plan.ver" "$work/plan-without-suffix"
type=$(XDG_DATA_DIRS=/usr/share mimetype --brief "$work/plan-without-suffix")
[ "$type" = application/x-tesselon-project ] || fail "a project without suffix has the type '$type'"

# The thumbnailer as a file manager runs it: its Exec line with input, output and size filled in,
# without a display.
exec_line=$(sed -n 's/^Exec=//p' /usr/share/thumbnailers/tesselon.thumbnailer)
command=${exec_line//%i/$work/plan.ver}
command=${command//%o/$work/thumb.png}
command=${command//%s/128}
# shellcheck disable=SC2086 # the Exec line is split into words as a thumbnailer entry is
env -u QT_QPA_PLATFORM -u DISPLAY -u WAYLAND_DISPLAY $command
# The sample plan is wider than high: 128 pixels wide, its height in proportion.
size=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); assert d[:8]==b"\x89PNG\r\n\x1a\n"; print("%dx%d" % struct.unpack(">II", d[16:24]))' "$work/thumb.png")
case "$size" in
  128x89 | 128x90) ;;
  *) fail "the thumbnail is $size, not 128 pixels wide" ;;
esac

echo "package check: $(basename "$deb") installs and works"
