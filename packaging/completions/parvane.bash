# bash completion for parvane: its commands and options, the kinds of 'list' and 'uninstall',
# and for 'uninstall course|library' the names and GUIDs of the registered entries, which
# parvane itself lists (on the prefix named on the command line being completed).

# The "name" and "guid" fields of 'parvane list KIND --json', one per line.
_parvane_entries() {
    local kind=$1
    shift
    "${COMP_WORDS[0]}" "$@" --defaults list "$kind" --json 2>/dev/null |
        sed -n 's/^ *"\(name\|guid\)": "\(.*\)",\{0,1\}$/\2/p' |
        sed 's/\\"/"/g; s/\\\\/\\/g'
}

_parvane() {
    local current=${COMP_WORDS[COMP_CWORD]} previous=${COMP_WORDS[COMP_CWORD - 1]}
    local command='' kind='' prefix=() i word
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        case $word in
        --prefix) prefix=(--prefix "${COMP_WORDS[i + 1]}") && i=$((i + 1)) ;;
        -*) ;;
        *) if [ -z "$command" ]; then command=$word; elif [ -z "$kind" ]; then kind=$word; fi ;;
        esac
    done
    if [ "$previous" = --prefix ]; then
        compopt -o filenames 2>/dev/null
        mapfile -t COMPREPLY < <(compgen -d -- "$current")
        return
    fi
    # Options are offered once a '-' is typed.
    local options='--prefix --defaults --yes --help'
    [[ $current == -* ]] || options=''
    case $command in
    '') mapfile -t COMPREPLY < <(compgen -W \
        "install list uninstall analyze properties prefixes ${options:+--version} $options" \
        -- "$current") ;;
    install)
        if [[ $current == -* ]]; then
            mapfile -t COMPREPLY < <(compgen -W "--dry-run $options" -- "$current")
        else
            compopt -o filenames 2>/dev/null
            mapfile -t COMPREPLY < <(compgen -f -X '!*.[zZtT][iIcC][pPxXlL]' -- "$current"
                compgen -d -- "$current")
        fi ;;
    list)
        if [ -z "$kind" ]; then
            mapfile -t COMPREPLY < <(compgen -W \
                "courses libraries ${options:+--guid --json} $options" -- "$current")
        else
            mapfile -t COMPREPLY < <(compgen -W "${options:+--guid --json} $options" -- "$current")
        fi ;;
    uninstall)
        if [ -z "$kind" ]; then
            mapfile -t COMPREPLY < <(compgen -W \
                "course library ${options:+--dry-run} $options" -- "$current")
        elif [[ $current == -* ]]; then
            mapfile -t COMPREPLY < <(compgen -W "--dry-run $options" -- "$current")
        else
            local plural=courses entry
            [[ $kind == librar* ]] && plural=libraries
            COMPREPLY=()
            while IFS= read -r entry; do
                [[ $entry == "$current"* ]] && COMPREPLY+=("$(printf '%q' "$entry")")
            done < <(_parvane_entries "$plural" "${prefix[@]}")
        fi ;;
    analyze | prefixes)
        mapfile -t COMPREPLY < <(compgen -W "${options:+--json} $options" -- "$current") ;;
    properties) mapfile -t COMPREPLY < <(compgen -W "WarnOnOverwriteFile= WarnOnCloakedLibraries=
        SavePropertiesOnExit= AskForTargetFolder= AskForInstallProceed= RememberOpenArchiveFolder=
        AskForFlag= UseDefaultLibraryFolder= TargetFolder= LibraryFolder= OpenArchiveFolder=
        AskForFlagFolder= $options" -- "$current")
        compopt -o nospace 2>/dev/null ;;
    esac
}
complete -F _parvane parvane
