#!/usr/bin/env bash
# parvane killed with SIGKILL at several points of a large installation, then started again
# on the prefix: it says the installation was undone, and the prefix is as before, its
# registry files byte for byte (the killed run's unpacked files in the temporary folder are
# removed at the start too); a run killed after the commit is completed.
#   parvane-interrupted.sh PARVANE
set -uo pipefail
parvane=$(realpath "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/sample-content.sh"

work=$(realpath "$(mktemp -d)")
trap 'kill -9 $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"
failures=0
fail() {
    echo "FAIL (killed after $delay s): $*" >&2
    failures=$((failures + 1))
}

# A course with its library, hole sounds and 1,500 preview pictures.
course=7C0A1E55-0011-4D3B-9C7E-5A1B2C3D4E11 library=7C0A1E55-0012-4D3B-9C7E-5A1B2C3D4E12
folder="$work/package/Big Meadow"
mkdir -p "$folder/prv"
course_file "$folder/Big Meadow.tcr" $course 'Big Meadow' $library 'Meadow Grass'
library_file "$folder/Meadow Grass.tcl" $library 'Meadow Grass'
head -c 20000000 /dev/urandom >>"$folder/Big Meadow.tcr"
for hole in $(seq 18); do head -c 200000 /dev/urandom >"$folder/hole$hole.mp3"; done
for picture in $(seq 1500); do printf 'DDS picture %s' "$picture" >"$folder/prv/p$picture.dds"; done
zip_folder "$work/Big_Meadow.zip" "$work/package"

# The prefix's folders and files with their sizes, and the registry files' bytes.
listing() {
    (cd "$prefix" && find . -type d -printf '%p/\n' -o -printf '%p %s\n' | sort)
    md5sum "$prefix/system.reg" "$prefix/user.reg"
}

fresh_prefix() {
    prefix="$work/prefix"
    rm -rf "$prefix" "$XDG_STATE_HOME"
    make_game_prefix "$prefix"
}

# How long the installation takes here, to kill it at points through it.
fresh_prefix
start=$(date +%s%N)
"$parvane" --prefix "$prefix" --defaults install "$work/Big_Meadow.zip" >/dev/null 2>&1 ||
    { delay=0 fail "the installation failed"; }
duration=$((($(date +%s%N) - start) / 1000000))

undone=0 completed=0
for percent in 10 30 45 55 62 68 74 80 86 91 95 98; do
    delay=$(printf '%d.%03d' $((duration * percent / 100000)) $((duration * percent / 100 % 1000)))
    fresh_prefix
    before=$(listing)
    "$parvane" --prefix "$prefix" --defaults install "$work/Big_Meadow.zip" >/dev/null 2>&1 &
    sleep "$delay"
    kill -9 $! 2>/dev/null
    wait $! 2>/dev/null
    out=$("$parvane" --prefix "$prefix" list courses 2>&1) || fail "list ended with $?: $out"
    compgen -G "$prefix/drive_c/users/*/Temp/Parvane kept files*" >/dev/null && fail "kept files left"
    compgen -G "$XDG_STATE_HOME/parvane/*/change.journal" >/dev/null && fail "the journal is left"
    if grep -qF "The installation of 'Big Meadow' was interrupted and has been undone." <<<"$out"; then
        undone=$((undone + 1))
        [ "$(listing)" = "$before" ] || fail "not as before: $(diff <(echo "$before") <(listing) | head)"
    elif grep -qF 'Big Meadow' <<<"$out"; then
        completed=$((completed + 1))  # killed after the commit, or never interrupted
        grep -qF "{$course}" "$prefix/system.reg" || fail "completed without its entry"
    else
        [ "$(listing)" = "$before" ] || fail "killed before the change, yet changed: $out"
    fi
done
echo "parvane killed in an installation of $duration ms: $undone undone, $completed completed"
[ "$undone" -ge 3 ] || fail "only $undone runs were killed inside the change"
[ "$failures" -eq 0 ] && echo "parvane killed mid-installation: all cases passed"
exit $((failures > 0))
