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
mimepackage=$stage/usr/share/mime/packages/$id.xml
completion=$stage/usr/share/bash-completion/completions/lumora
for f in "$desktop" "$metainfo" "$icon" "$mimepackage" "$completion"; do [ -f "$f" ] || fail "missing ${f#"$stage"}"; done

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

# Project files: their type is defined by the installed package and opened by the launcher.
grep -q '<mime-type type="application/x-lumora-project">' "$mimepackage" || fail "MIME package lacks the project type"
grep -q '<glob pattern="\*.lumora"/>' "$mimepackage" || fail "MIME package lacks the *.lumora glob"
[[ ";$mime" == *";application/x-lumora-project;"* ]] || fail "launcher lacks the project type"
if command -v xmllint >/dev/null; then
  xmllint --noout "$mimepackage" || fail "MIME package is not well-formed XML"
fi
if command -v update-mime-database >/dev/null; then
  mkdir -p "$stage/mime"
  cp -r "$stage/usr/share/mime/packages" "$stage/mime/"
  update-mime-database "$stage/mime" >/dev/null 2>&1 || fail "update-mime-database rejects the MIME package"
  grep -q "application/x-lumora-project:\*.lumora" "$stage/mime/globs" || fail "*.lumora not in the built globs"
fi

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
