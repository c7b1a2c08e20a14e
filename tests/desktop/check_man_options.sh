#!/usr/bin/env bash
# Every option a program's --help lists (and each command's --help) is in its manual page as man shows it.
# Usage: check_man_options.sh PROGRAM MANPAGE [COMMAND...]
set -euo pipefail
program="$1" page="$2"
shift 2

# Wide lines and the C locale, so that man neither breaks an option across lines nor turns its hyphens
# into typographic ones.
shown="$(MANWIDTH=400 LC_ALL=C man -l "$page" | col -b)"
helps="$("$program" --help)"
for command in "$@"; do
    helps+=$'\n'"$("$program" "$command" --help)"
    grep -qF -- "$command" <<<"$shown" || { echo "the command '$command' is not in $page"; exit 1; }
done

missing=0
checked=0
while IFS= read -r option; do
    checked=$((checked + 1))
    if ! grep -qE -- "(^|[^-[:alnum:]])${option}([^-[:alnum:]]|\$)" <<<"$shown"; then
        echo "'$option' from --help is not in $page"
        missing=1
    fi
done < <(grep -oE -- '(^|[[:space:],])--?[[:alnum:]][-[:alnum:]]*' <<<"$helps" | sed -E 's/^[[:space:],]//' | sort -u)
# A help text that yields no option at all means the parsing above broke, not that the page is complete.
[ "$checked" -gt 0 ] || { echo "no options found in $program --help"; exit 1; }
exit "$missing"
