#!/usr/bin/env bash
# The completion scripts as the shells load them: bash completes the commands, every option each
# command's --help lists, and the words of options that take fixed values; zsh reads its script, whose
# option descriptions cover the same options.
# Usage: check_completions.sh PROGRAM BASH_SCRIPT ZSH_SCRIPT
set -euo pipefail
program="$1" bash_script="$2" zsh_script="$3"
failed=0

# What bash offers for a command line whose last word is being completed.
offers() {
    bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
             _quorvane_cli 2>/dev/null; printf "%s\n" "${COMPREPLY[@]}"' _ "$bash_script" "$@" | sort | paste -sd' '
}
expect() {
    local want="$1"
    shift
    local got
    got="$(offers "$@")"
    if [ "$got" != "$want" ]; then
        echo "completing '$*': got '$got', expected '$want'"
        failed=1
    fi
}

expect "check convert export-samples info" quorvane-cli ""
expect "convert" quorvane-cli conv
expect "--version" quorvane-cli --v
expect "--quality --quiet" quorvane-cli convert --qu
expect "gig sf2 sf3 sfz" quorvane-cli convert --to ""
expect "aiff" quorvane-cli export-samples -o out --to a
expect "--json" quorvane-cli info --j
expect "" quorvane-cli convert --preset ""

# The names on the option lines of a command's --help (the examples below them name other commands').
help_options() {
    grep -E '^[[:space:]]+-' | grep -oE -- '(^|[[:space:],])--?[[:alnum:]][-[:alnum:]]*' |
        sed -E 's/^[[:space:],]//' | sort -u
}
for command in info convert export-samples; do
    offered=" $(offers quorvane-cli "$command" -) "
    count=0
    while IFS= read -r option; do
        count=$((count + 1))
        case "$offered" in
            *" $option "*) ;;
            *) echo "bash does not complete '$command $option'"; failed=1 ;;
        esac
        grep -qF -- "$option" "$zsh_script" || { echo "zsh has no '$command $option'"; failed=1; }
    done < <("$program" "$command" --help | help_options)
    [ "$count" -gt 0 ] || { echo "no options found in $command --help"; failed=1; }
done

# zsh parses the script and autoloads it as completion functions are loaded.
zsh -n "$zsh_script" || { echo "zsh cannot parse $zsh_script"; failed=1; }
head -1 "$zsh_script" | grep -qx '#compdef quorvane-cli' || { echo "$zsh_script lacks its #compdef line"; failed=1; }
exit "$failed"
