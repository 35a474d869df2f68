#!/usr/bin/env bash
# The built parvane against Wine itself, on a copy of the wine suite's prefix (made once per run
# by wineboot): the game registered with `wine reg add` and found by `parvane prefixes`, a pack
# of libraries installed by parvane and read back with `wine reg query`, one of them
# uninstalled and its key found gone; then the prefix refused, untouched, while a wineserver
# serves it.
#   parvane-wine.sh PARVANE SUITE-PREFIX
set -uo pipefail
parvane=$(realpath "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/sample-content.sh"

work=$(realpath "$(mktemp -d)")
prefix="$work/prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all LC_ALL=C.UTF-8 XDG_CONFIG_HOME="$work/config" \
    XDG_DATA_HOME="$work/data" XDG_STATE_HOME="$work/state"
trap 'wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
# Hard links for the files Wine does not change; the registry files are copies of their own.
cp -al "$2" "$prefix" && cp --remove-destination "$2"/*.reg "$prefix/"
mkdir -p "$work/packages"
make_sample_packages "$work/packages"
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

game='HKLM\Software\Quorlix\Greenvale 06'
wine reg add "$game" /v 'Install Dir' /d 'C:\Games\Greenvale 06' /reg:32 /f >/dev/null &&
    wine reg add "$game\\Courses" /reg:32 /f >/dev/null &&
    wine reg add "$game\\Libraries" /reg:32 /f >/dev/null || fail "wine reg add"
wineserver -w

# The game registered by Wine's own tool is found in the prefix it made.
out=$(HOME="$work" "$parvane" prefixes 2>&1)
grep -qxF "$prefix  Wine  C:\Games\Greenvale 06" <<<"$out" || fail "not found: $out"

out=$("$parvane" --defaults install "$work/packages/Coastal_Pack.zip" 2>&1) ||
    fail "parvane ended with $?: $out"
query=$(wine reg query "$game\\Libraries" /s /reg:32 | tr -d '\r')
for name in 'Coastal Rocks' 'Coastal Grass'; do
    grep -qF "Name    REG_SZ    $name" <<<"$query" || fail "wine reg query: $query"
    grep -qF "C:\\Games\\Greenvale 06\\libraries\\$name\\$name.tcl" <<<"$query" ||
        fail "wine reg query: $query"
done
wineserver -w

# Uninstalled by its name: its key is gone, its neighbour's stays. Each key is queried on its
# own: Wine 8's `reg query /s` fails on keys that hold an empty text value.
out=$(printf 'y\n' | "$parvane" uninstall library 'coastal rocks' 2>&1) ||
    fail "parvane uninstall ended with $?: $out"
rocks="$game\\Libraries\\{7C0A1E55-0003-4D3B-9C7E-5A1B2C3D4E03}"
query=$(wine reg query "$rocks" /reg:32 2>&1 | tr -d '\r') && fail "still there: $query"
grep -qi 'unable to find' <<<"$query" || fail "wine reg query: $query"
query=$(wine reg query "$game\\Libraries\\{7C0A1E55-0004-4D3B-9C7E-5A1B2C3D4E04}" /v Name /reg:32)
grep -qF 'Coastal Grass' <<<"$query" || fail "wine reg query: $query"
wineserver -w

wineserver -p
snapshot() { find "$prefix" -printf '%P %s %T@\n' | sort; }
before=$(snapshot)
out=$("$parvane" --defaults install "$work/packages/Hollow_Creek.zip" 2>&1) && fail "not refused"
grep -q 'Error: A wineserver (process [0-9]*) is running for the Wine prefix' <<<"$out" ||
    fail "parvane said: $out"
[ "$(snapshot)" = "$before" ] || fail "the prefix changed: $(diff <(echo "$before") <(snapshot))"
wineserver -k

[ "$failures" -eq 0 ] && echo "parvane under Wine: all cases passed"
exit $((failures > 0))
