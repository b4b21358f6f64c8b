# bash completion for marelos-cli. The commands and their options come from the tool's own
# help ("marelos-cli --help", "marelos-cli BEFEHL --help"), so a new command completes without a
# change here. Operands are files and folders.

_marelos_cli_commands() {
    "$1" --help 2>/dev/null | sed -n '/^Befehle:/,/^$/s/^  \([a-z][a-z0-9-]*\) .*/\1/p'
}

_marelos_cli_options() {
    "$@" --help 2>/dev/null | grep -oE -- '--[a-z][a-z0-9-]*' | sort -u
}

_marelos_cli() {
    local tool=${COMP_WORDS[0]} cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]}
    COMPREPLY=()
    case $prev in
        --settings | --device) return 0 ;;  # a file or a device: the default completion
        --set | --dives | --interface | --timeout) return 0 ;;
    esac
    # The command is the first word that is neither an option nor the value of --settings/--set.
    local command='' i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
            --settings | --set) ((i++)) ;;
            -*) ;;
            *)
                command=${COMP_WORDS[i]}
                break
                ;;
        esac
    done
    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            mapfile -t COMPREPLY < <(compgen -W "$(_marelos_cli_options "$tool")" -- "$cur")
        else
            mapfile -t COMPREPLY < <(compgen -W "$(_marelos_cli_commands "$tool")" -- "$cur")
        fi
    elif [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$(_marelos_cli_options "$tool" "$command")" -- "$cur")
    fi
    return 0
}

complete -o default -F _marelos_cli marelos-cli
