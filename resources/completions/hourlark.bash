# bash completion for hourlark(1)

_hourlark() {
    local cur prev words cword
    _init_completion || return

    local commands="start stop toggle reset complete show history status export add"
    local command="" i
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} != -* ]]; then
            command=${words[i]}
            break
        fi
    done

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--help --version --dbus-activated" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        fi
        return
    fi

    case $prev in
        --format)
            COMPREPLY=($(compgen -W "waybar plain json" -- "$cur"))
            return
            ;;
        -o | --output)
            _filedir
            return
            ;;
        --from | --to | --at)
            return
            ;;
    esac

    local options="--help"
    case $command in
        status) options+=" --json --format --follow" ;;
        export) options+=" --csv --json --from --to --output" ;;
        add) options+=" --at" ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    fi
} &&
    complete -F _hourlark hourlark
