# shellcheck shell=bash
# Shared by scripts/demo and the terminal program's end-to-end tests (source it):
#   make_game_prefix DIR      a 64-bit Wine prefix made without wine, as the Wine backend needs
#                             it: drive_c, dosdevices (c: and z:), system.reg with the game's keys
#                             in the 32-bit view (Software\Wow6432Node) and its nineteen stock
#                             libraries (keys and files), user.reg with the user's folders
#   make_sample_packages DIR  installation archives made here:
#     Pinewood_Links.zip   a course with an included library, hole sounds, text, picture, flag
#     Coastal_Pack.zip     a pack of two libraries
#     Hollow_Creek.zip     a course that needs a library nobody has installed
#     Marsh_Bundle.zip     a MyZip archive: a library archive and a course archive that uses it
#     Sneaky.zip           a course with an entry that names a device ('..\..\AUX.tcr')

GAME_FOLDER='Program Files (x86)/Quorlix/Greenvale 06'
STOCK_LIBRARIES=(2DE90001-40F4-4B13-A863-B20C58118C22 2F1B1ABC-5EDE-40E4-A430-2B6186980420
    36B17DCC-1A6F-46A4-A503-85CADA59B9D1 45F4BB00-99FA-4143-82AA-542ED5678685
    7DB1BD3A-E48C-46BF-B227-D0A9B1CF58D7 823A71F5-5DA9-466B-B9B4-9E4AAB9B0000
    82FEE2D1-E69D-4707-8A88-A0BF687ADBC8 8AB16DC8-A33B-4395-B92F-9D4D61E35EDD
    910A0ACF-2699-46D5-9A5C-3E03BD74858A 92D828CD-A378-4737-9A97-0E1BB5009252
    93CF57FD-AB7D-490F-ADF9-BF28FC4C0CAD 9DDA4636-E649-4947-8A15-F9FAB2F62E84
    AF13DA7D-C3A6-456F-9B9C-613EA51F4EC0 B5001CF6-5D4C-4FBA-B69E-EAE6420BA626
    CF6629AE-1473-4923-8E39-32C89EB722BB D81458FE-6F79-42A2-80CC-1912F606C5F5
    E00554DB-5429-4AA3-A381-D4DD1C0B2827 E8C6FF4A-866F-4614-BF44-B22F566C68BF
    FD82D3C1-9EEA-45A3-901F-89838F9F0B95)

# Writes printf %b data into FILE at OFFSET.
put_bytes() {
    printf '%b' "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

# A GUID's 16 bytes as they stand in a file: three little-endian fields, then eight bytes.
guid_bytes() {
    local h=${1//-/}
    printf '%s' "${h:6:2}${h:4:2}${h:2:2}${h:0:2}${h:10:2}${h:8:2}${h:14:2}${h:12:2}${h:16:16}" |
        sed 's/../\\x&/g'
}

# library_file PATH GUID NAME: the 80-byte name block of a library file.
library_file() {
    head -c 80 /dev/zero >"$1"
    put_bytes "$1" 2 "$(guid_bytes "$2")"
    put_bytes "$1" 22 "$3"
}

# course_file PATH GUID NAME [LIBRARY-GUID LIBRARY-NAME]...: a course file's 3000-byte header
# with the libraries it uses.
course_file() {
    local path=$1 guids=268 names=804
    head -c 3000 /dev/zero >"$path"
    put_bytes "$path" 2 "$(guid_bytes "$2")"
    put_bytes "$path" 22 "$3"
    shift 3
    while [ $# -ge 2 ]; do
        put_bytes "$path" "$guids" "$(guid_bytes "$1")"
        put_bytes "$path" "$names" "$2"
        guids=$((guids + 16))
        names=$((names + ${#2} + 1))
        shift 2
    done
}

make_game_prefix() {
    local prefix=$1 user
    user=$(id -un)
    mkdir -p "$prefix/dosdevices" "$prefix/drive_c/$GAME_FOLDER/courses" \
        "$prefix/drive_c/users/$user/Documents" "$prefix/drive_c/users/$user/Temp"
    ln -sfn ../drive_c "$prefix/dosdevices/c:"
    ln -sfn / "$prefix/dosdevices/z:"
    local game='Software\\Wow6432Node\\Quorlix\\Greenvale 06'
    local dir='C:\\Program Files (x86)\\Quorlix\\Greenvale 06'
    {
        printf 'WINE REGISTRY Version 2\n;; All keys relative to \\\\Machine\n\n#arch=win64\n\n'
        printf '[%s] 1700000000\n#time=1da000000000000\n"Install Dir"="%s"\n\n' "$game" "$dir"
        printf '[%s\\\\Courses] 1700000000\n#time=1da000000000000\n\n' "$game"
        printf '[%s\\\\Libraries] 1700000000\n#time=1da000000000000\n\n' "$game"
        local i guid name
        for i in "${!STOCK_LIBRARIES[@]}"; do
            guid=${STOCK_LIBRARIES[$i]}
            name=$(printf 'Stock Library %02d' $((i + 1)))
            mkdir -p "$prefix/drive_c/$GAME_FOLDER/libraries/$name"
            library_file "$prefix/drive_c/$GAME_FOLDER/libraries/$name/$name.tcl" "$guid" "$name"
            printf '[%s\\\\Libraries\\\\{%s}] 1700000000\n#time=1da000000000000\n' "$game" "$guid"
            printf '"Filename"="%s\\\\libraries\\\\%s\\\\%s.tcl"\n"Name"="%s"\n\n' \
                "$dir" "$name" "$name" "$name"
        done
    } >"$prefix/system.reg"
    local profile="C:\\\\users\\\\$user"
    {
        printf 'WINE REGISTRY Version 2\n;; All keys relative to \\\\User\\\\S-1-5-21-0-0-0-1000\n'
        printf '\n#arch=win64\n\n[Environment] 1700000000\n#time=1da000000000000\n'
        printf '"TEMP"="%s\\\\Temp"\n"TMP"="%s\\\\Temp"\n\n' "$profile" "$profile"
        printf '[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders]'
        printf ' 1700000000\n#time=1da000000000000\n"Personal"="%s\\\\Documents"\n\n' "$profile"
    } >"$prefix/user.reg"
}

# zip_folder ARCHIVE FOLDER: the folder's content, folder names included, as a new archive.
zip_folder() {
    rm -f "$1"
    (cd "$2" && zip -qr -X "$1" .)
}

make_sample_packages() {
    local out work
    out=$(cd "$1" && pwd)
    work=$(mktemp -d)
    local pinewood=7C0A1E55-0001-4D3B-9C7E-5A1B2C3D4E01 trees=7C0A1E55-0002-4D3B-9C7E-5A1B2C3D4E02
    mkdir -p "$work/pine/Pinewood Links/sounds"
    course_file "$work/pine/Pinewood Links/Pinewood Links.tcr" $pinewood 'Pinewood Links' \
        $trees 'Pinewood Trees' "${STOCK_LIBRARIES[0]}" 'Stock Library 01'
    library_file "$work/pine/Pinewood Links/Pinewood Trees.tcl" $trees 'Pinewood Trees'
    printf 'Eighteen holes among the pines.\r\n' >"$work/pine/Pinewood Links/Pinewood Links.txt"
    printf 'DDS flag' >"$work/pine/Pinewood Links/flag.dds"
    printf 'BM picture' >"$work/pine/Pinewood Links/Pinewood Links.bmp"
    local hole
    for hole in 1 2 3; do
        printf 'ID3 hole %s' $hole >"$work/pine/Pinewood Links/hole$hole.mp3"
    done
    printf 'RIFF birds' >"$work/pine/Pinewood Links/sounds/birds.wav"
    zip_folder "$out/Pinewood_Links.zip" "$work/pine"

    mkdir -p "$work/coast"
    library_file "$work/coast/Coastal Rocks.tcl" 7C0A1E55-0003-4D3B-9C7E-5A1B2C3D4E03 'Coastal Rocks'
    library_file "$work/coast/Coastal Grass.tcl" 7C0A1E55-0004-4D3B-9C7E-5A1B2C3D4E04 'Coastal Grass'
    zip_folder "$out/Coastal_Pack.zip" "$work/coast"

    mkdir -p "$work/hollow"
    course_file "$work/hollow/Hollow Creek.tcr" 7C0A1E55-0005-4D3B-9C7E-5A1B2C3D4E05 \
        'Hollow Creek' 7C0A1E55-0006-4D3B-9C7E-5A1B2C3D4E06 'Hollow Creek Bridges' \
        "${STOCK_LIBRARIES[1]}" 'Stock Library 02'
    zip_folder "$out/Hollow_Creek.zip" "$work/hollow"

    local reeds=7C0A1E55-0007-4D3B-9C7E-5A1B2C3D4E07
    mkdir -p "$work/marsh/lib" "$work/marsh/course" "$work/marsh/bundle"
    library_file "$work/marsh/lib/Marsh Reeds.tcl" $reeds 'Marsh Reeds'
    course_file "$work/marsh/course/Marsh Hollow.tcr" 7C0A1E55-0008-4D3B-9C7E-5A1B2C3D4E08 \
        'Marsh Hollow' $reeds 'Marsh Reeds'
    zip_folder "$work/marsh/bundle/Marsh_Reeds.zip" "$work/marsh/lib"
    zip_folder "$work/marsh/bundle/Marsh_Hollow.zip" "$work/marsh/course"
    zip_folder "$out/Marsh_Bundle.zip" "$work/marsh/bundle"

    mkdir -p "$work/sneaky"
    course_file "$work/sneaky/Sneaky.tcr" 7C0A1E55-0009-4D3B-9C7E-5A1B2C3D4E09 'Sneaky'
    printf 'a device, not a file' >"$work/sneaky/..\\..\\AUX.tcr"
    zip_folder "$out/Sneaky.zip" "$work/sneaky"
    rm -rf "$work"
}
