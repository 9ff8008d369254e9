#!/usr/bin/env bash
# The Debian package, made by CPack from the build folder's install as `make deb` makes it: its name, control
# fields and contents; its Depends name the package of every library the program links; the unpacked program
# answers --version and --help; the manual page renders without warnings and documents every option --help
# lists; lintian (when installed) finds no error.
# Usage: check_deb.sh BUILD_DIR VERSION. Exits 77 (skipped) without the Debian tools or the manual page.
set -euo pipefail
# Letter ranges as in ASCII (a Turkish locale's [a-z] leaves out the i) and tools' messages in English.
export LC_ALL=C.UTF-8
build=$1
version=$2
skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in dpkg-deb dpkg-shlibdeps readelf man; do
  command -v $tool >/dev/null || skip "$tool not installed (scripts/install-deps installs it)"
done
[ -f "$build/lumora.1.gz" ] || skip "the manual page was not built (scdoc missing when configured)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"${CPACK:-cpack}" --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
  fail "cpack: $(cat "$work/cpack.log")"
arch=$(dpkg --print-architecture)
deb=$work/lumora_${version}_${arch}.deb
[ -f "$deb" ] || fail "no ${deb##*/}; cpack made: $(cd "$work" && echo *.deb)"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = lumora ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = graphics ] || fail "Section: $(field Section)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\ ]+@[^\>\ ]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[ "$(field Description | wc -l)" -gt 2 ] || fail "Description has no long text"

contents=$(dpkg-deb -c "$deb")
for path in usr/bin/lumora usr/share/applications/io.github.lumora.Lumora.desktop \
  usr/share/metainfo/io.github.lumora.Lumora.metainfo.xml usr/share/mime/packages/io.github.lumora.Lumora.xml \
  usr/share/icons/hicolor/scalable/apps/io.github.lumora.Lumora.svg usr/share/man/man1/lumora.1.gz \
  usr/share/bash-completion/completions/lumora usr/share/doc/lumora/copyright usr/share/doc/lumora/changelog.gz; do
  grep -q " \./$path\$" <<<"$contents" || fail "package lacks /$path"
done
outside=$(awk '{print $6}' <<<"$contents" | grep -v '^\./$' | grep -v '^\./usr/' || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"
owners=$(awk '{print $2}' <<<"$contents" | sort -u)
[ "$owners" = root/root ] || fail "files not owned by root: $owners"

dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/bin/lumora
readelf -S "$program" | grep -q '\.debug_info' && fail "the packaged program is not stripped"
# Every linked library's package is a dependency (dpkg-shlibdeps at work, not a hand-kept list). dpkg knows
# a library by the path its package shipped: the link or its target, with or without /usr. One query for all.
libraries=()
for soname in $(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
  library=$(ldconfig -p | awk -v n="$soname" '$1 == n && !found {print $NF; found = 1}')
  [ -n "$library" ] || fail "$soname not found by ldconfig"
  libraries+=("$library")
done
candidates() { local path; for path in "$1" "$(readlink -f "$1")"; do echo "$path" "${path#/usr}" "/usr$path"; done; }
owners=$(for library in "${libraries[@]}"; do candidates "$library"; done | xargs dpkg -S 2>/dev/null || true)
depends=$(field Depends)
for library in "${libraries[@]}"; do
  package=""
  for path in $(candidates "$library"); do
    package=$(awk -F': ' -v p="$path" '$2 == p && !found {sub(/[:,].*/, "", $1); print $1; found = 1}' <<<"$owners")
    [ -z "$package" ] || break
  done
  [ -n "$package" ] || continue # a library installed by hand: nothing for Depends to name
  [[ ", $depends," == *", $package "* || ", $depends," == *", $package,"* ]] ||
    fail "Depends lacks $package (for ${library##*/}): $depends"
done

export QT_QPA_PLATFORM=offscreen
versionOut=$("$program" --version) || fail "unpacked lumora --version failed"
[[ "$versionOut" == *"$version"* ]] || fail "--version says: $versionOut"
help=$("$program" --help) || fail "unpacked lumora --help failed"
[[ "$help" == *--filter* ]] || fail "--help lacks --filter: $help"

page=$work/root/usr/share/man/man1/lumora.1.gz
gzip -t "$page" || fail "manual page is not gzip"
warnings=$(MANWIDTH=80 man --warnings -E UTF-8 -l "$page" 2>&1 >"$work/page.txt") ||
  fail "man -l failed: $warnings"
[ -z "$warnings" ] || fail "man -l warns: $warnings"
rendered=$(col -b <"$work/page.txt")
for section in NAME SYNOPSIS DESCRIPTION OPTIONS EXAMPLES FILES "EXIT STATUS"; do
  grep -q "^$section\$" <<<"$rendered" || fail "manual page lacks $section"
done
# Options are lines of --help that start with a dash; the page names each one.
for option in $(grep -oE '^ +(-[a-zA-Z], )?--[a-z][a-z-]*' <<<"$help" | grep -oE -- '--[a-z][a-z-]*'); do
  grep -qE -- "(^|[^a-z-])$option([^a-z-]|\$)" <<<"$rendered" || fail "manual page lacks $option"
done

if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" >"$work/lintian.log" 2>&1 || fail "lintian: $(cat "$work/lintian.log")"
  grep '^E:' "$work/lintian.log" && fail "lintian reports errors"
  cat "$work/lintian.log"
else
  echo "lintian not installed: package not linted"
fi
echo "debian package ok: ${deb##*/}, $(du -k "$deb" | cut -f1) KiB"
