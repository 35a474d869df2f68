#!/usr/bin/env bash
# The terminal program as a Linux desktop gets it: `cmake --install` into a staging folder (the
# man page renders, the desktop entry and the MIME types pass their checkers, the bash
# completion offers the installed courses for `uninstall course`), and the Debian package that
# cpack makes (its files, its dependencies, lintian without errors).
#   packaging-test.sh BUILD-FOLDER
set -uo pipefail
build=$(realpath "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/sample-content.sh"

work=$(realpath "$(mktemp -d)")
trap 'rm -rf "$work"' EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

usr="$work/stage/usr"
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null || fail "cmake --install"
installed=(bin/parvane share/man/man1/parvane.1.gz share/bash-completion/completions/parvane
    share/zsh/vendor-completions/_parvane share/icons/hicolor/256x256/apps/parvane.png
    share/applications/parvane.desktop share/mime/packages/parvane.xml
    share/doc/parvane/copyright share/doc/parvane/changelog.gz)
for file in "${installed[@]}"; do
    [ -f "$usr/$file" ] || fail "not installed: $file"
done

page=$(MANWIDTH=100 man -l "$usr/share/man/man1/parvane.1.gz" 2>&1)
grep -qF 'parvane - install courses and libraries of Greenvale 06' <<<"$page" &&
    grep -qF 'uninstall [--dry-run] course|library NAME-OR-GUID...' <<<"$page" ||
    fail "man page: $page"
desktop-file-validate "$usr/share/applications/parvane.desktop" || fail "desktop entry"
xmllint --noout "$usr/share/mime/packages/parvane.xml" || fail "MIME types"
update-mime-database "$usr/share/mime" 2>/dev/null &&
    grep -qxF 'application/x-greenvale06-library:*.tcl' "$usr/share/mime/globs" ||
    fail "MIME database"
zsh -n "$usr/share/zsh/vendor-completions/_parvane" || fail "zsh completion"

# The bash completion, on a prefix with a course installed by the installed parvane.
prefix="$work/prefix"
make_game_prefix "$prefix"
mkdir "$work/packages" && make_sample_packages "$work/packages"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state" \
    PATH="$usr/bin:$PATH"
parvane --prefix "$prefix" --defaults install "$work/packages/Pinewood_Links.zip" >/dev/null ||
    fail "install"
# shellcheck source=/dev/null # the completion the package installed
source "$usr/share/bash-completion/completions/parvane"
offered() {
    COMP_WORDS=("$@")
    COMP_CWORD=$(($# - 1))
    COMPREPLY=()
    _parvane 2>/dev/null
    printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort
}
expect() {
    local words=$1 expected=$2
    read -ra words <<<"$words"
    [ "$(offered parvane --prefix "$prefix" "${words[@]}" "$3")" = "$expected" ] ||
        fail "'${words[*]} $3' offers: $(offered parvane --prefix "$prefix" "${words[@]}" "$3")"
}
expect 'uninstall course' $'Pinewood\\ Links\n\\{7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01\\}' ''
expect 'uninstall course' 'Pinewood\ Links' 'Pine'
expect 'uninstall' $'course\nlibrary' ''
expect 'list' 'libraries' 'li'
expect '' $'prefixes\nproperties' 'pr'
expect 'install' $'--defaults\n--dry-run' '--d'

# The Debian package.
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/deb" >/dev/null || fail "cpack"
deb="$work/deb/parvane_1.0d_$(dpkg --print-architecture).deb"
listed=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for file in "${installed[@]}"; do
    grep -qxF "./usr/$file" <<<"$listed" || fail "not in the package: $file"
done
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libminizip1' <<<"$depends" || fail "dependencies: $depends"
lintian --fail-on error "$deb" || fail "lintian"

[ "$failures" -eq 0 ] && echo "packaging: all checks passed"
exit $((failures > 0))
