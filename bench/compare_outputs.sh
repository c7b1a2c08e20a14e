#!/usr/bin/env bash
# Compares what two builds of quorvane-cli write for the same banks: every bank converted whole to
# SoundFont and to GigaSampler by each build, the SoundFont files compared byte for byte, the GigaSampler
# files byte for byte once the parts that differ from run to run by design are masked (the dlid identifiers
# and the creation date, see bench/mask_gig_ids.py). Used to show that a change of the code leaves every
# output as it was.
#
# Usage: bench/compare_outputs.sh OLD_CLI NEW_CLI BANK...
# Prints one line per bank and output type, "same" or "DIFFERENT", and exits 1 when any output differs.
set -euo pipefail
old="$1" new="$2"
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
here="$(dirname "${BASH_SOURCE[0]}")"
status=0
for bank in "$@"; do
    name=$(basename "$bank")
    for type in sf2 gig; do
        mkdir -p "$work/old" "$work/new"
        rm -rf "$work"/old/* "$work"/new/*
        "$old" convert --to "$type" -o "$work/old" "$bank" >/dev/null 2>&1 || true
        "$new" convert --to "$type" -o "$work/new" "$bank" >/dev/null 2>&1 || true
        verdict=same
        old_files=$(cd "$work/old" && ls)
        new_files=$(cd "$work/new" && ls)
        if [ "$old_files" != "$new_files" ] || [ -z "$old_files" ]; then
            verdict="DIFFERENT (files: '$old_files' / '$new_files')"
        else
            while IFS= read -r file; do
                if [ "$type" = gig ]; then
                    python3 "$here/mask_gig_ids.py" "$work/old/$file"
                    python3 "$here/mask_gig_ids.py" "$work/new/$file"
                fi
                cmp -s "$work/old/$file" "$work/new/$file" || verdict="DIFFERENT ($file)"
            done <<<"$old_files"
        fi
        echo "$name -> $type: $verdict"
        [ "$verdict" = same ] || status=1
    done
done
exit $status
