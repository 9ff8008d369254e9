#!/usr/bin/env bash
# Staged install into a temporary prefix: the program, launcher, MIME associations, icon and metainfo land
# where a Linux desktop looks for them, and the launcher and metainfo validate.
# Usage: check_install.sh BUILD_DIR
set -euo pipefail
build=$1
id=io.github.lumora.Lumora
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
"${CMAKE:-cmake}" --install "$build" --prefix "$stage/usr" >/dev/null
fail() { echo "FAIL: $*" >&2; exit 1; }

[ -x "$stage/usr/bin/lumora" ] || fail "no executable bin/lumora"
desktop=$stage/usr/share/applications/$id.desktop
metainfo=$stage/usr/share/metainfo/$id.metainfo.xml
icon=$stage/usr/share/icons/hicolor/scalable/apps/$id.svg
for f in "$desktop" "$metainfo" "$icon"; do [ -f "$f" ] || fail "missing ${f#"$stage"}"; done

grep -qx 'Exec=lumora %F' "$desktop" || fail "launcher does not pass files with %F"
grep -qx "Icon=$id" "$desktop" || fail "launcher icon is not $id"
grep -q '<svg' "$icon" || fail "icon is not SVG"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "metainfo launchable"
# Every format the program reads (src/pictures/Pictures.cpp) is associated.
mime=$(sed -n 's/^MimeType=//p' "$desktop")
for type in image/png image/jpeg image/bmp image/gif image/tiff image/webp image/vnd.microsoft.icon; do
  [[ ";$mime" == *";$type;"* ]] || fail "launcher lacks MIME type $type"
  grep -q "<mediatype>$type</mediatype>" "$metainfo" || fail "metainfo lacks media type $type"
done

if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
  [ -z "$out" ] || fail "desktop-file-validate: $out"
else
  echo "desktop-file-validate not installed: launcher not validated"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$metainfo" >/dev/null 2>&1 ||
    fail "appstreamcli: $(appstreamcli validate --no-net "$metainfo" 2>&1)"
else
  echo "appstreamcli not installed: metainfo not validated"
fi
echo "install layout ok"
