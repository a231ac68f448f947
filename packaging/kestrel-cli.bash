# bash completion for kestrel-cli: commands, options, formats, board kinds, and the
# part names of the device library the tool would use here.
_kestrel_cli() {
    local cur prev words cword
    _init_completion || return

    local commands="devices detect reset convert blank-check read program verify erase fuses"
    local global="--yes --quiet --verbose --library --board --port --trace --vcd --sim-fault
                  --version --help"
    local chip="--device --manufacturer --index --id-check --no-id-check --ff-save
                --no-ff-save --checksum --no-checksum --sim-state --sim-chip"

    case "$prev" in
        --library|--trace|--vcd|--sim-state)
            _filedir
            return ;;
        --board)
            COMPREPLY=($(compgen -W "auto sim ppdev ioport" -- "$cur"))
            return ;;
        -f|--format)
            COMPREPLY=($(compgen -W "bin rom intel8 intel32 mcs86 s1 s2 s3 any" -- "$cur"))
            return ;;
        -d|--device|--sim-chip)
            local parts
            parts=$("${words[0]}" devices --json 2>/dev/null |
                    sed -n 's/.*"part": "\([^"]*\)".*/\1/p' | sort -u)
            COMPREPLY=($(compgen -W "$parts" -- "$cur"))
            return ;;
        --port|--sim-fault|-m|--manufacturer|-i|--index|-s|--set|--hex-line-len|\
        --flash-bytes|--eeprom-bytes)
            return ;;
    esac

    local command="" word
    for word in "${words[@]:1:cword-1}"; do
        case " $commands " in *" $word "*) command=$word; break ;; esac
    done

    if [[ -z $command ]]; then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "$global" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        fi
        return
    fi

    local own=""
    case $command in
        devices) own="--json" ;;
        fuses) own="$chip --set --standard --json" ;;
        convert) own="--format --flash-bytes --eeprom-bytes --eeprom --ff-save --hex-line-len" ;;
        read) own="$chip --format" ;;
        blank-check|program|verify|erase) own="$chip" ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$own $global" -- "$cur"))
    else
        _filedir
    fi
}
complete -F _kestrel_cli kestrel-cli
