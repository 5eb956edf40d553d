#!/usr/bin/env bash
# The Debian package of this build: CPack makes it, it holds what a Debian
# user expects where Debian puts it, its dependencies were computed from the
# programs, its programs run, its manual pages name every option the
# programs' --help prints, and lintian finds no error in it.
set -euo pipefail

build=${1:?usage: package_test.sh BUILD_DIRECTORY}
fail() { echo "FAILED: $*" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB -B "$work/out" --config "$build/CPackConfig.cmake" >"$work/cpack" 2>&1 || fail "cpack: $(cat "$work/cpack")"
package=$(ls "$work"/out/tunelark_*.deb)
root=$work/root
dpkg-deb -x "$package" "$root"

expected=(
  usr/bin/tunelark usr/bin/tunelark-cli
  usr/share/applications/tunelark.desktop
  usr/share/icons/hicolor/48x48/apps/tunelark.png
  usr/share/man/man1/tunelark.1.gz usr/share/man/man1/tunelark-cli.1.gz
  usr/share/metainfo/org.tunelark.Tunelark.metainfo.xml
  usr/share/doc/tunelark/README.md usr/share/doc/tunelark/copyright usr/share/doc/tunelark/changelog.gz
)
for file in "${expected[@]}"; do
  [ -e "$root/$file" ] || fail "the package lacks /$file"
done
unexpected=$(cd "$root" && find . -type f | grep -v -e '^./usr/bin/' -e '^./usr/share/' || true)
[ -z "$unexpected" ] || fail "the package holds files outside /usr/bin and /usr/share: $unexpected"

depends=$(dpkg-deb -f "$package" Depends)
for library in libsdl2 libmad0 libflac libopusfile libtag; do
  grep -q "$library" <<<"$depends" || fail "Depends lacks $library: $depends"
done

version=$(dpkg-deb -f "$package" Version)
[ "$("$root/usr/bin/tunelark" --version)" = "tunelark $version" ] || fail "tunelark --version does not say $version"
[ "$("$root/usr/bin/tunelark-cli" --version)" = "tunelark-cli $version" ] || fail "tunelark-cli --version does not say $version"
grep -q "version=\"$version\"" "$root/usr/share/metainfo/org.tunelark.Tunelark.metainfo.xml" ||
  fail "the AppStream release is not $version"

# Every option a program's help names is in its manual page, which carries the version.
options_of() { grep -o -e '--[a-z][a-z-]*' -e '\(^\|[ [,]\)-[a-z]\b' | tr -d ' [,' | sort -u; }
check_page() {
  local page=$1 help=$2 text
  text=$(MANWIDTH=200 man -l "$root/usr/share/man/man1/$page.1.gz" 2>/dev/null | col -b)
  grep -q "$page" <<<"$text" || fail "the $page page does not render"
  grep -q "Tunelark $version" <<<"$text" || fail "the $page page does not say version $version"
  for option in $(options_of <<<"$help"); do
    grep -q -e "$option\b" <<<"$text" || fail "the $page page does not name $option"
  done
}
check_page tunelark "$("$root/usr/bin/tunelark" --help)"
cli_help=$("$root/usr/bin/tunelark-cli" --help)
for command in info play render bench; do cli_help+=$'\n'$("$root/usr/bin/tunelark-cli" "$command" --help); done
check_page tunelark-cli "$cli_help"

appstreamcli validate --no-net "$root/usr/share/metainfo/org.tunelark.Tunelark.metainfo.xml" >/dev/null ||
  fail "the AppStream entry does not validate"
lintian --fail-on error "$package" >"$work/lintian" 2>&1 ||
  fail "lintian: $(cat "$work/lintian")"
echo "1 passed, 0 failed"
