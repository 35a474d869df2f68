#!/usr/bin/env bash
# The built parvane, run as a player runs it, on throwaway prefixes made without wine.
#   parvane-e2e.sh PARVANE HOSTILE-ARCHIVES-MAKER
set -uo pipefail
parvane=$(realpath "$1")
hostile_archives=$2
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/sample-content.sh"

work=$(realpath "$(mktemp -d)")
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"
packages="$work/packages"
mkdir -p "$packages"
make_sample_packages "$packages"
failures=0

fail() {
    echo "FAIL ($case): $*" >&2
    failures=$((failures + 1))
}
# A fresh prefix for each case.
start() {
    case=$1
    prefix="$work/$1"
    game="$prefix/drive_c/$GAME_FOLDER"
    make_game_prefix "$prefix"
}
# run STATUS INPUT ARGUMENTS...: parvane on the case's prefix, INPUT (printf %b) on its input,
# files limited to $size_limit KiB when that is set.
run() {
    local expected=$1 input=$2 status=0
    shift 2
    out=$(printf '%b' "$input" |
        (ulimit -f "${size_limit:-unlimited}" && exec "$parvane" --prefix "$prefix" "$@") 2>&1) ||
        status=$?
    [ "$status" -eq "$expected" ] || fail "parvane $* ended with $status, not $expected: $out"
}
says() { grep -qF -- "$1" <<<"$out" || fail "no \"$1\" in: $out"; }
exists() { [ -e "$1" ] || fail "missing: $1"; }
absent() { [ ! -e "$1" ] || fail "there should be no $1"; }
has_key() { grep -qF "Greenvale 06\\\\$1\\\\{$2}]" "$prefix/system.reg"; }
registered() { has_key "$@" || fail "$1 $2 unregistered"; }
unregistered() { ! has_key "$@" || fail "$1 $2 is left"; }

start answered  # the folder kept, the confirmation answered yes
run 0 '\ny\n' install "$packages/Pinewood_Links.zip"
says 'Folder: C:\Program Files (x86)\Quorlix\Greenvale 06\courses\Pinewood Links'
says 'Ok to proceed with the installation? [Y/n] y'
says 'Information: Installation complete.'
for file in 'Pinewood Links.tcr' 'Pinewood Trees.tcl' hole3.mp3 flag.dds sounds/birds.wav; do
    exists "$game/courses/Pinewood Links/$file"
done
registered Courses 7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01
registered Libraries 7C0A1E55-0002-4D3B-9C7E-5A1B2C3D4E02
exists "$XDG_CONFIG_HOME/parvane/$(sed 's|/|_|g' <<<"$work")_answered/Parvane.properties"

start defaults  # nothing read; a course with a missing library is refused by default
run 1 'n\nn\n' --defaults install "$packages/Coastal_Pack.zip" "$packages/Hollow_Creek.zip"
says 'Question: The course you are installing requires the following library:'
registered Libraries 7C0A1E55-0003-4D3B-9C7E-5A1B2C3D4E03
registered Libraries 7C0A1E55-0004-4D3B-9C7E-5A1B2C3D4E04
absent "$game/courses/Hollow Creek"

start report  # a course without its library, answered yes: the report in the data folder
run 0 '\ny\ny\ny\n' install "$packages/Hollow_Creek.zip"
report="$XDG_DATA_HOME/parvane/$(sed 's|/|_|g' <<<"$work")_report/MissingLibraries.htm"
says "The report of the missing libraries: $report"
grep -q 'Hollow Creek Bridges' "$report" || fail "no report"

start commands  # list, analyze, uninstall and properties after two installations
run 0 '' --defaults install "$packages/Pinewood_Links.zip" "$packages/Coastal_Pack.zip"
run 0 '' list libraries
says '   Pinewood Trees   (1)  C:\Program Files (x86)\Quorlix\Greenvale 06\courses\Pinewood Links'
says '+ Stock Library 01  (1)  C:\Program'
run 0 '' analyze
says 'Congratulations, the installation analysis did not find any problems!'
run 0 '' verify
says 'Pinewood Links {7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01}: ok, 8 files'
says 'Stock Library 01 {2DE90001-40F4-4B13-A863-B20C58118C22}: no record'
pine="$game/courses/Pinewood Links"
cp "$pine/flag.dds" "$work/flag.dds" && cp "$pine/hole3.mp3" "$work/hole3.mp3"
printf 'ID3 hole 4' >"$pine/hole3.mp3" && rm "$pine/flag.dds"
run 1 '' verify 'pinewood links'
says 'Pinewood Links {7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01}: 2 of 8 files missing or changed'
says '  changed  C:\Program Files (x86)\Quorlix\Greenvale 06\courses\Pinewood Links\hole3.mp3'
says '  missing  C:\Program Files (x86)\Quorlix\Greenvale 06\courses\Pinewood Links\flag.dds'
cp "$work/flag.dds" "$work/hole3.mp3" "$pine/"
# A second library named like the first, in another folder
rocks='7C0A1E55-0003-4D3B-9C7E-5A1B2C3D4E03' twin='7C0A1E55-0033-4D3B-9C7E-5A1B2C3D4E03'
key='Software\\Wow6432Node\\Quorlix\\Greenvale 06\\Libraries'
printf '\n[%s\\\\{%s}] 1700000000\n"Filename"="C:\\\\Rocks\\\\Coastal Rocks.tcl"\n"Name"="%s"\n' \
    "$key" "$twin" 'coastal ROCKS' >>"$prefix/system.reg"
run 1 'y\ny\n' uninstall library 'Coastal Grass' 'Coastal Rocks'
says "'Coastal Rocks' names 2 libraries; name the one to uninstall by its GUID:"
says "   coastal ROCKS  {$twin}  C:\\Rocks"
says 'Nothing was uninstalled.'
registered Libraries 7C0A1E55-0004-4D3B-9C7E-5A1B2C3D4E04
run 1 '' --defaults uninstall library "$rocks"  # the confirmation declined by default
says "Greenvale 06\libraries\Coastal Rocks' ? [y/N] n"
registered Libraries "$rocks"
run 0 'y\ny\n' uninstall library 'pinewood TREES'  # used by Pinewood Links: asked twice
says 'CAUTION: The library'
says "Library 'Pinewood Trees' uninstalled successfully"
unregistered Libraries 7C0A1E55-0002-4D3B-9C7E-5A1B2C3D4E02
absent "$game/courses/Pinewood Links/Pinewood Trees.tcl"
run 1 '' analyze
says 'Course error: Pinewood Links: Cannot find the referenced library Pinewood Trees'
run 0 'y\n' uninstall course "{7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01}"
says "Course 'Pinewood Links' uninstalled successfully"
unregistered Courses 7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01
absent "$game/courses/Pinewood Links"
run 1 '' uninstall course 'Pinewood Links'
says "No registered course is named 'Pinewood Links'"
run 0 '' history
says 'install  Pinewood Links  {7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01}  Pinewood_Links.zip  completed'
says 'install  Coastal Rocks  {7C0A1E55-0003-4D3B-9C7E-5A1B2C3D4E03}  Coastal_Pack.zip  completed'
says 'uninstall  Pinewood Trees  {7C0A1E55-0002-4D3B-9C7E-5A1B2C3D4E02}  Pinewood_Links.zip  completed'
says 'uninstall  Pinewood Links  {7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01}  Pinewood_Links.zip  completed'

run 0 '' properties
says 'AskForFlag                = 0'
run 0 '' properties askforflag=1 'OpenArchiveFolder=C:\Down loads'
says 'AskForFlag                = 1 (was 0)'
tr -d '\r' <"$XDG_CONFIG_HOME"/parvane/*_commands/Parvane.properties |
    grep -qxF 'OpenArchiveFolder = C:\Down loads' || fail "not saved"
run 2 '' properties Colour=blue
says "'Colour' is not a property"

start cancelled  # No to the confirmation copies nothing
run 1 '\nn\n' install "$packages/Pinewood_Links.zip"
says 'Error: Installation not complete.'
absent "$game/courses/Pinewood Links"

start myzip  # inner archives installed, libraries first, then deleted; the MyZip stays
mkdir -p "$prefix/drive_c/Downloads"
cp "$packages/Marsh_Bundle.zip" "$prefix/drive_c/Downloads/"
run 0 '' --defaults install 'C:\Downloads\Marsh_Bundle.zip'
says 'is a MyZip archive'
exists "$game/libraries/Marsh Reeds/Marsh Reeds.tcl"
exists "$game/courses/Marsh Hollow/Marsh Hollow.tcr"
[ "$(ls "$prefix/drive_c/Downloads")" = Marsh_Bundle.zip ] || fail "left: $(ls "$prefix/drive_c/Downloads")"
temp="$prefix/drive_c/users/$(id -un)/Temp"
[ -z "$(ls -A "$temp")" ] || fail "left in the temporary folder: $(ls -A "$temp")"

start corpus  # every kind of hostile archive refused, nothing of it left in the prefix
mkdir -p "$work/corpus" && "$hostile_archives" "$work/corpus" || fail "no hostile archives"
trap '' XFSZ  # a write past the size limit fails instead of ending parvane
listing() { find "$prefix" -type d -printf '%P/\n' -o -printf '%P %s %T@\n' | sort; }
while IFS=$'\t' read -r archive refusal limit; do
    case="corpus $archive"
    before=$(listing)
    size_limit=$limit run 1 '' --defaults install "$work/corpus/$archive"
    says "$refusal"
    [ "$(listing)" = "$before" ] || fail "the prefix changed: $(diff <(echo "$before") <(listing))"
done <"$work/corpus/hostile.txt"

start refused  # a game tool in this prefix, another parvane on it, a wrong command line
cp "$(command -v sleep)" "$work/GV2006.EXE"
WINEPREFIX="$prefix" "$work/GV2006.EXE" 30 >/dev/null 2>&1 &
sleep 0.2
run 1 '' --defaults install "$packages/Pinewood_Links.zip"
says 'Either the GV golf sim, the architect, the library creator'
kill $! && wait $! 2>/dev/null
exec 9<"$prefix" && flock -n 9  # as another parvane holds it
run 1 '' --defaults install "$packages/Pinewood_Links.zip"
says 'Another parvane is working on the Wine prefix'
exec 9<&-
absent "$game/courses/Pinewood Links"
run 2 '' install --no-such-option

[ "$failures" -eq 0 ] && echo "parvane end-to-end: all cases passed"
exit $((failures > 0))
