#!/usr/bin/env bash
# The built parvane, run as a player runs it, on throwaway prefixes made without wine.
#   parvane-e2e.sh PARVANE HOSTILE-ARCHIVES-MAKER PACKER-ARCHIVES-MAKER
set -uo pipefail
parvane=$(realpath "$1")
hostile_archives=$2
packer_archives=$3
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
# The folder parvane keeps for the case's prefix in base folder $1: the prefix's last three
# names and the start of the SHA-1 of its path.
own_folder() {
    echo "$1/parvane/$(tr / '\n' <<<"$prefix" | tail -n 3 | paste -sd -)-$(printf %s "$prefix" |
        sha1sum | cut -c1-8)"
}
registered() { has_key "$@" || fail "$1 $2 unregistered"; }
unregistered() { ! has_key "$@" || fail "$1 $2 is left"; }

start answered  # the folder kept, the confirmation answered yes
run 0 '\ny\n' install "$packages/Pinewood_Links.zip"
says "Folder: $game/courses/Pinewood Links (C:\\Program Files (x86)\\Quorlix\\Greenvale 06\\courses\\Pinewood Links)"
says 'Ok to proceed with the installation? [Y/n] y'
says 'Information: Installation complete.'
for file in 'Pinewood Links.tcr' 'Pinewood Trees.tcl' hole3.mp3 flag.dds sounds/birds.wav; do
    exists "$game/courses/Pinewood Links/$file"
done
registered Courses 7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01
registered Libraries 7C0A1E55-0002-4D3B-9C7E-5A1B2C3D4E02
exists "$(own_folder "$XDG_CONFIG_HOME")/Parvane.properties"
exists "$(own_folder "$XDG_STATE_HOME")"

start defaults  # nothing read; a course with a missing library is refused by default
run 1 'n\nn\n' --defaults install "$packages/Coastal_Pack.zip" "$packages/Hollow_Creek.zip"
says 'Question: The course you are installing requires the following library:'
registered Libraries 7C0A1E55-0003-4D3B-9C7E-5A1B2C3D4E03
registered Libraries 7C0A1E55-0004-4D3B-9C7E-5A1B2C3D4E04
absent "$game/courses/Hollow Creek"

start report  # a course without its library, answered yes: the report in the data folder
mkdir -p "$work/bin"  # a desktop whose xdg-open fails aloud and names no browser
printf '#!/bin/sh\necho opened >"%s"\necho "xdg-open: no method available" >&2\n' \
    "$work/opened" >"$work/bin/xdg-open"
printf '#!/bin/sh\n' >"$work/bin/xdg-mime" && chmod +x "$work/bin/"*
BROWSER='' PATH="$work/bin:$PATH" run 0 '\ny\ny\ny\n' install "$packages/Hollow_Creek.zip"
says '  Hollow Creek Bridges'  # the missing library printed
sleep 0.2 && absent "$work/opened"
report="$(own_folder "$XDG_DATA_HOME")/MissingLibraries.htm"
says "The report of the missing libraries: $report"
grep -q 'Hollow Creek Bridges' "$report" || fail "no report"

start commands  # list, analyze, uninstall and properties after two installations
run 0 '' --defaults install "$packages/Pinewood_Links.zip" "$packages/Coastal_Pack.zip"
run 0 '' list libraries
says "   Pinewood Trees    (1)  $game/courses/Pinewood Links (C:\\Program"
says '+  Stock Library 01  (1)  /'
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
says "  changed  $pine/hole3.mp3 (C:\\Program Files (x86)\\Quorlix\\Greenvale 06\\courses\\Pinewood Links\\hole3.mp3)"
says "  missing  $pine/flag.dds (C:"
run 1 '' verify --json 7c0a1e55-0001-4d3b-9c7e-5a1b2c3d4e01
python3 -c 'import json, sys
entry = json.loads(sys.argv[1])["entries"][0]
assert entry["record"] and entry["files"] == 8, entry
assert sorted((p["state"], p["path"][-9:]) for p in entry["problems"]) == [
    ("changed", "hole3.mp3"), ("missing", "\\flag.dds")], entry' "$out" || fail "verify --json: $out"
cp "$work/flag.dds" "$work/hole3.mp3" "$pine/"
# A second library named like the first, in another folder
rocks='7C0A1E55-0003-4D3B-9C7E-5A1B2C3D4E03' twin='7C0A1E55-0033-4D3B-9C7E-5A1B2C3D4E03'
key='Software\\Wow6432Node\\Quorlix\\Greenvale 06\\Libraries'
printf '\n[%s\\\\{%s}] 1700000000\n"Filename"="C:\\\\Rocks\\\\Coastal Rocks.tcl"\n"Name"="%s"\n' \
    "$key" "$twin" 'coastal ROCKS' >>"$prefix/system.reg"
run 1 'y\ny\n' uninstall library 'Coastal Grass' 'Coastal Rocks'
says "'Coastal Rocks' names 2 libraries; name the one to uninstall by its GUID:"
says "   coastal ROCKS  {$twin}  $prefix/drive_c/Rocks (C:\\Rocks)"
says 'Nothing was uninstalled.'
registered Libraries 7C0A1E55-0004-4D3B-9C7E-5A1B2C3D4E04
run 1 '' --defaults uninstall library "$rocks"  # the confirmation declined by default
says "Greenvale 06\\libraries\\Coastal Rocks)' ? [y/N] n"
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
tr -d '\r' <"$(own_folder "$XDG_CONFIG_HOME")/Parvane.properties" |
    grep -qxF 'OpenArchiveFolder = C:\Down loads' || fail "not saved"
run 2 '' properties Colour=blue
says "'Colour' is not a property"

# A prefix path of 200 characters under a home of 60, with the base folders in the home: the
# folder an earlier version named after the whole path is moved to the short name, and the
# properties, an installation and the report work.
(
    home="$work/$(printf '%*s' $((59 - ${#work})) '' | tr ' ' h)"
    deep="$home/Games, external/$(printf '%*s' 200 '' | tr ' ' d)"
    export HOME="$home" XDG_CONFIG_HOME='' XDG_DATA_HOME='' XDG_STATE_HOME=''
    start deep
    steam=/steamapps/compatdata/2876543210/pfx
    prefix="${deep:0:$((200 - ${#steam}))}$steam"
    [ ${#home} = 60 ] && [ ${#prefix} = 200 ] || fail "home ${#home}, prefix ${#prefix} long"
    game="$prefix/drive_c/$GAME_FOLDER"
    make_game_prefix "$prefix"
    old="$home/.config/parvane/$(sed -e 's/ /%20/g' -e 's/,/%2C/g' -e 's|/|_|g' <<<"$prefix")"
    mkdir -p "$old"
    printf 'OpenArchiveFolder = C:\\Old\r\nOwnNote = kept\r\n' >"$old/Parvane.properties"
    properties="$(own_folder "$home/.config")/Parvane.properties"
    run 0 '' properties AskForTargetFolder=0 AskForInstallProceed=0
    says "Saved in $properties"
    absent "$old"
    tr -d '\r' <"$properties" | grep -qxF 'OwnNote = kept' || fail "not moved whole: $properties"
    run 0 '' properties
    says "OpenArchiveFolder         = ~${prefix#"$home"}/drive_c/Old (C:\Old)"
    says 'AskForTargetFolder        = 0'
    run 0 'y\ny\n' install "$packages/Hollow_Creek.zip"
    exists "$game/courses/Hollow Creek/Hollow Creek.tcr"
    report="$(own_folder "$home/.local/share")/MissingLibraries.htm"
    says "The report of the missing libraries: ~${report#"$home"}"  # the home folder as ~
    grep -q 'Hollow Creek Bridges' "$report" || fail "no report"
    exists "$(own_folder "$home/.local/state")"
    exit $((failures > 0))
) || failures=$((failures + 1))

start unwritable  # the properties cannot be saved: the message names the file and says why
run 0 '' properties
properties="$(own_folder "$XDG_CONFIG_HOME")/Parvane.properties"
mkdir "$properties.new"  # stops the save for root too, as a read-only folder stops others
run 1 '' properties AskForFlag=1
says "Error: Couldn't save the properties in '"
says "$(basename "$(own_folder "$XDG_CONFIG_HOME")")\Parvane.properties)': "
says 'Error: Error during saving of program properties'
XDG_STATE_HOME="$work/$(printf '%*s' 200 '' | tr ' ' s)" run 1 '' properties
says "characters: too long for the files in it, since a Windows path holds at most 255."

start cancelled  # No to the confirmation copies nothing
run 1 '\nn\n' install "$packages/Pinewood_Links.zip"
says 'Not installed: declined (Ok to proceed with the installation?).'
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

listing() { find "$prefix" -type d -printf '%P/\n' -o -printf '%P %s %T@\n' | sort; }
# The prefix byte for byte, and parvane's own folders.
snapshot() {
    find "$prefix" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME" -type f -exec md5sum {} + 2>/dev/null | sort
    find "$prefix" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_STATE_HOME" -printf '%p %s\n' 2>/dev/null | sort
}
# dry_run STATUS INPUT ARGUMENTS...: parvane changes nothing, and empties its temporary folder.
dry_run() {
    local before
    before=$(snapshot)
    run "$@"
    [ "$(snapshot)" = "$before" ] || fail "changed: $(diff <(echo "$before") <(snapshot))"
}

start dry  # a course, a pack of libraries and an uninstall, each listed and not done
courses='C:\Program Files (x86)\Quorlix\Greenvale 06\courses'
dry_run 0 '' --defaults install --dry-run "$packages/Pinewood_Links.zip"
[ "$(head -n 1 <<<"$out")" = 'Dry run: nothing will be changed.' ] || fail "not said first: $out"
says 'Information (in a real run): Installation complete.'
says "Pinewood_Links.zip  would be installed in $game/courses/Pinewood Links ($courses\Pinewood Links)"
says '1 archive: 1 would be installed, 0 declined, 0 would not be installed, 0 skipped'
! grep -qE '^Information: Installation complete|\.zip +installed in ' <<<"$out" || fail "told as done: $out"
says 'Dry run: nothing was changed. The run would:'
says "  copy Pinewood Trees.tcl to $game/courses/Pinewood Links/Pinewood Trees.tcl ($courses\Pinewood Links\Pinewood Trees.tcl)"
says "  copy birds.wav to $game/courses/Pinewood Links/sounds/birds.wav ($courses\Pinewood Links\sounds\birds.wav)"
says "  set HKEY_LOCAL_MACHINE\Software\Quorlix\Greenvale 06\Courses\{7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01} \"Name\" = \"Pinewood Links\""
says "  write $(own_folder "$XDG_CONFIG_HOME")/Parvane.properties (Z:"  # the properties of a first run
dry_run 0 '' --defaults install "$packages/Coastal_Pack.zip" --dry-run
says "  create folder $game/libraries/Coastal Grass/ (C:\Program Files (x86)\Quorlix\Greenvale 06\libraries\Coastal Grass"
dry_run 1 '' --defaults install --dry-run "$packages/Hollow_Creek.zip"  # refused, as it would be
says 'Would not be installed: declined (Continue anyway?).'
says 'Hollow_Creek.zip  would not be installed: declined'
! grep -qF '  create key' <<<"$out" || fail "a refused installation would register: $out"
run 0 '' --defaults install "$packages/Pinewood_Links.zip"
dry_run 0 'y\n' uninstall --dry-run course 'Pinewood Links'
says 'Dry run: nothing will be changed.'
says "Question (in a real run): Are you sure you want to uninstall 'Pinewood Links'"
says "Information (in a real run): Course 'Pinewood Links' uninstalled successfully"
says "  delete key HKEY_LOCAL_MACHINE\Software\Quorlix\Greenvale 06\Courses\{7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01}"
says "  delete $game/courses/Pinewood Links/hole3.mp3 ($courses\Pinewood Links\hole3.mp3)"
says "  remove folder $game/courses/Pinewood Links/sounds ($courses\Pinewood Links/sounds)"
[ -z "$(ls -A "$prefix/drive_c/users/$(id -un)/Temp")" ] || fail "left in the temporary folder"

start corpus  # every kind of hostile archive refused, nothing of it left in the prefix
mkdir -p "$work/corpus" && "$hostile_archives" "$work/corpus" || fail "no hostile archives"
trap '' XFSZ  # a write past the size limit fails instead of ending parvane
while IFS=$'\t' read -r archive refusal limit; do
    case="corpus $archive"
    before=$(listing)
    size_limit=$limit run 1 '' --defaults install "$work/corpus/$archive"
    says "$refusal"
    [ "$(listing)" = "$before" ] || fail "the prefix changed: $(diff <(echo "$before") <(listing))"
done <"$work/corpus/hostile.txt"

# A course as common packers pack it: every file at each of its destinations, with its name and
# bytes, no packer's leftover and no link anywhere.
mkdir -p "$work/packers" && "$packer_archives" "$work/packers" || fail "no packer archives"
while IFS=$'\t' read -r archive course; do
    start "packers-${archive%.zip}"
    run 0 '' --defaults install "$work/packers/$archive"
    diff -r "$work/packers/expected/${archive%.zip}" "$game/courses/$course" >&2 ||
        fail "$archive: the course folder differs from what the package holds"
    [ -z "$(find "$game" -type l)" ] || fail "$archive: links in the game folder"
done <"$work/packers/packers.txt"

start prompts  # a stray word is no folder, c cancels, a folder outside the game is asked about
cd "$work" || exit 1
run 1 'y\n' install "$packages/Pinewood_Links.zip"
says "'y' is not a full path"
absent "$work/y"
run 1 'c\n' install "$packages/Pinewood_Links.zip"
says 'The installation of this archive is cancelled.'
absent "$game/courses/Pinewood Links"
run 0 "$work/elsewhere\ny\n\n" install "$packages/Pinewood_Links.zip"
says "lies outside the game's folder"
exists "$work/elsewhere/Pinewood Links.tcr"
mkdir -p "$work/many" && for n in $(seq -w 1 10); do cp "$packages/Sneaky.zip" "$work/many/a$n.zip"; done
run 0 '' properties "OpenArchiveFolder=$work/many"
run 1 '\n' install  # the numbers of the open dialog's list right-aligned
says '   1  a01.zip'
says '  10  a10.zip'
start enter-only  # Enter at every prompt on a course whose folder exists ends, declined twice
mkdir -p "$game/courses/Pinewood Links"
run 1 "$(printf '\\n%.0s' {1..300})" install "$packages/Pinewood_Links.zip"
[ "$(grep -c 'already exists!' <<<"$out")" -eq 2 ] || fail "asked $(grep -c 'already exists!' <<<"$out") times"
says 'Pinewood_Links.zip  not installed: declined (the installation folder)'

start signals  # interrupted while unpacking and while placing: the run's temporary folders go
temp="$prefix/drive_c/users/$(id -un)/Temp"
mkdir -p "$work/big/Big" && cp -r "$packages"/../packages/Pinewood_Links.zip "$work/big/"
(cd "$work/big" && unzip -q Pinewood_Links.zip && head -c 300M /dev/zero >'Pinewood Links/hole2.mp3' &&
    zip -q -1 -r "$work/Big.zip" 'Pinewood Links')
# interrupt SIGNAL STATUS PATTERN ARGUMENTS...: parvane in the background, the signal once its
# output matches PATTERN (or, without one, once it has made its temporary folder).
interrupt() {
    local signal=$1 expected=$2 pattern=$3 status=0
    shift 3
    mkfifo "$work/answers" && exec 8<>"$work/answers"
    "$parvane" --prefix "$prefix" "$@" <"$work/answers" >"$work/out" 2>&1 &
    local pid=$! i
    printf '\ny\ny\n' >&8
    for i in $(seq 500); do
        if [ -n "$pattern" ]; then grep -q "$pattern" "$work/out" && break
        else [ -n "$(ls -A "$temp")" ] && break; fi
        sleep 0.01
    done
    kill "-$signal" "$pid"
    wait "$pid" || status=$?
    exec 8>&- && rm "$work/answers"
    out=$(cat "$work/out")
    [ "$status" -eq "$expected" ] || fail "ended with $status, not $expected after SIG$signal: $out"
    [ -z "$(ls -A "$temp")" ] || fail "left in the temporary folder: $(ls -A "$temp")"
    unregistered Courses 7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01
}
interrupt INT 130 '' --defaults install "$work/Big.zip"
says 'The installation was interrupted before it was complete.'
says 'Big.zip  not installed: interrupted'
mkdir -p "$game/courses/Pinewood Links" && echo old >"$game/courses/Pinewood Links/flag.dds"
interrupt TERM 143 'overwrite the existing file' install "$packages/Pinewood_Links.zip"
[ "$(ls "$game/courses/Pinewood Links")" = flag.dds ] && [ "$(cat "$game/courses/Pinewood Links/flag.dds")" = old ] ||
    fail "the course folder after a stop while placing: $(ls "$game/courses/Pinewood Links")"
mkdir -p "$temp/PRV1F.tmp" && head -c 3000000 /dev/zero >"$temp/PRV1F.tmp/x.tcr"
run 0 '' list courses  # what a killed run left is removed at the next start
says 'Removed what an interrupted run left in the temporary folder: 3 MB freed.'
absent "$temp/PRV1F.tmp"

start streams  # standard output holds the summary only; the questions go to the terminal
"$parvane" --prefix "$prefix" --defaults install "$packages/Pinewood_Links.zip" >"$work/out" 2>"$work/err"
grep -q 'Ok to proceed' "$work/out" && fail "a question on standard output"
grep -q 'Ok to proceed with the installation? \[Y/n\] y' "$work/err" || fail "no question on standard error"
grep -q '1 archive: 1 installed' "$work/out" || fail "no summary on standard output"
out=$(printf 'n\n' | script -qec "'$parvane' --prefix '$prefix' uninstall course 'Pinewood Links' 2>/dev/null >'$work/out'" /dev/null)
says 'Are you sure you want to uninstall'  # on the terminal, standard error sent away
registered Courses 7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01

start summary  # installed, declined, refused, broken, a MyZip of two, a MyZip refused whole
echo 'not a zip' >"$work/broken.zip"
(cd "$work" && echo MARKER >a.txt && zip -q0 a.zip a.txt && cp a.zip b.zip &&  # a damaged MyZip
    zip -q0 Bad_Bundle.zip a.zip b.zip && sed -i s/MARKER/MARKEX/ Bad_Bundle.zip)
run 1 '' --defaults install "$packages/Pinewood_Links.zip" "$packages/Hollow_Creek.zip" \
    "$packages/Sneaky.zip" "$work/broken.zip" "$packages/Marsh_Bundle.zip" "$packages/Coastal_Pack.zip" \
    "$work/Bad_Bundle.zip"
says 'Pinewood_Links.zip  installed in '"$game/courses/Pinewood Links (C:"
says 'Hollow_Creek.zip    not installed: declined (Continue anyway?)'
says 'broken.zip          not installed: Couldn'"'"'t get ZIP global info'
says 'Sneaky.zip          not installed: Couldn'"'"'t extract archive '"'$packages/Sneaky.zip (Z:"
says 'Bad_Bundle.zip      not installed: '
says '8 archives: 4 installed, 1 declined, 3 not installed, 0 skipped'
grep -A6 -F "== $work/Bad_Bundle.zip" <<<"$out" | grep -qF "The MyZip archive '$work/Bad_Bundle.zip (Z:" ||
    fail "the refused MyZip archive's error not under its name"
grep -A1 -F "== $work/broken.zip" <<<"$out" | grep -q "Couldn't get ZIP global info" ||
    fail "the broken archive's error not under its name"
[ "$(grep -c 'ZIP global info' <<<"$out")" -eq 2 ] || fail "the zip error said more than once"

start forgiving  # GUIDs in any case, trailing blanks, either spelling, the nearest word, --yes
run 0 '' --yes install "$packages/Pinewood_Links.zip" "$packages/Coastal_Pack.zip"
run 0 '' list course
says 'Pinewood Links'
run 0 '' --yes uninstall libraries '7c0a1e55-0004-4d3b-9c7e-5a1b2c3d4e04' 'coastal rocks '
unregistered Libraries 7C0A1E55-0004-4D3B-9C7E-5A1B2C3D4E04
unregistered Libraries 7C0A1E55-0003-4D3B-9C7E-5A1B2C3D4E03
run 2 '' instal x.zip
says "'instal' is not a command; did you mean 'install'?"
run 2 '' list --gudi courses
says "did you mean '--guid'?"
run 2 '' uninstall courze x
says "'courze' is neither courses nor libraries; did you mean 'course'?"
run 2 '' list
says 'Usage: parvane [--prefix DIR] [--defaults|--yes] list courses|libraries [--guid]'
run 1 'y\n\n' uninstall library 'Stock Library 01'  # the game's own: asked once more, No
says "'Stock Library 01' is one of the game's own libraries."
registered Libraries "${STOCK_LIBRARIES[0]}"
run 1 '' properties 'TargetFolder=games'
says "The folder 'games' of TargetFolder is not a full path"
run 0 '' properties "TargetFolder=$prefix/drive_c/Games"
says "TargetFolder              = $prefix/drive_c/Games (C:\Games)"

start no-game  # a prefix without the game, a file named as the prefix
printf 'WINE REGISTRY Version 2\n' | tee "$prefix/system.reg" >"$prefix/user.reg"
run 1 '' list courses
says "The Wine prefix '$prefix' holds no Greenvale 06"
[ "$(grep -c '^Error' <<<"$out")" -eq 1 ] || fail "more than one message: $out"
prefix="$work/broken.zip" run 1 '' list courses
says "is a file, not a Wine prefix"

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
