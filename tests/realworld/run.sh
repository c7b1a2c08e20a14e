#!/usr/bin/env bash
# Runs every file of the real-world corpus (banks and audio files nobody on this project made) through
# `info`, `convert` to SoundFont 2 and to GigaSampler, and `export-samples`, and checks each output with an
# independent reader: sf2dump for SoundFonts, gigdump --verify for GigaSampler files, sndfile-info for the
# exported WAVE files (and, for audio files libsndfile reads, that the export has as many frames and, when it
# is 16-bit, the samples libsndfile reads, as sox reads the export).
#
# Usage: tests/realworld/run.sh [CLI] [CORPUS]
#   CLI     the quorvane-cli to run (default: build/test/app/cli/quorvane-cli)
#   CORPUS  the corpus folder (default: ../shared/realworld/files beside the checkout, when it exists)
# Audio files are listed from a scratch folder that links to them, and go through `info` and
# `export-samples` only (`convert` takes banks). Prints one line per file and check (PASS, FAIL, REFUSED
# when the program turned the file down with an error status and nothing crashed, or UNCHECKED when the
# peer cannot judge the output: it refuses the source too, or fails its own repair of the output), then a
# table of counts per check. Exits 1 when any check
# failed. The corpus is only read, never copied.
set -u

root=$(cd "$(dirname "$0")/../.." && pwd)
cli=${1:-$root/build/test/app/cli/quorvane-cli}
corpus=${2:-}
if [ -z "$corpus" ]; then
    for candidate in "$root/../shared/realworld/files" "$root/../../shared/realworld/files"; do
        [ -d "$candidate" ] && corpus=$(cd "$candidate" && pwd) && break
    done
fi
if [ -z "$corpus" ] || [ ! -d "$corpus" ]; then
    echo "no corpus folder (../shared/realworld/files): nothing to run"
    exit 0
fi
for tool in sf2dump gigdump sndfile-info sndfile-convert sox soxi; do
    command -v "$tool" >/dev/null || { echo "missing peer: $tool" >&2; exit 2; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
declare -A passes fails refusals unchecked
failed=0

# A run that a sanitizer or a signal ended is a crash, whatever its status.
crashed() { # status log
    [ "$1" -ge 128 ] && [ "$1" -ne 130 ] && [ "$1" -ne 143 ] && return 0
    grep -q -E "AddressSanitizer|UndefinedBehaviorSanitizer|runtime error:" "$2"
}

record() { # check verdict file detail
    local check=$1 verdict=$2 file=$3 detail=${4:-}
    case $verdict in
    PASS) passes[$check]=$((${passes[$check]:-0} + 1)) ;;
    REFUSED) refusals[$check]=$((${refusals[$check]:-0} + 1)) ;;
    UNCHECKED) unchecked[$check]=$((${unchecked[$check]:-0} + 1)) ;;
    *)
        fails[$check]=$((${fails[$check]:-0} + 1))
        failed=1
        ;;
    esac
    printf '%-8s %-8s %s%s\n' "$verdict" "$check" "$file" "${detail:+  ($detail)}"
}

# Runs the program; the verdict is PASS on status 0, REFUSED on an error status the program documents,
# FAIL on a crash. Sets `status`.
run_cli() { # log args...
    local log=$1
    shift
    "$cli" "$@" >"$log" 2>&1
    status=$?
}

verdict_of() { # log
    if crashed "$status" "$1"; then
        echo FAIL
    elif [ "$status" -eq 0 ]; then
        echo PASS
    else
        echo REFUSED
    fi
}

frames_of() { # file: the frame count sndfile-info reports, empty when it cannot read the file
    sndfile-info "$1" 2>/dev/null | awk -F: '/^Frames/ { gsub(/ /, "", $2); print $2; exit }'
}

# libgig verifies a GigaSampler file; one without a single sample it calls damaged even after rebuilding
# the checksums itself, so there it cannot judge (UNCHECKED).
gig_verdict() { # file
    gigdump --verify "$1" >"$work/peer" 2>&1 && grep -q "All checks passed" "$work/peer" && { echo PASS; return; }
    cp "$1" "$work/rebuilt.gig" && gigdump --rebuild-checksums "$work/rebuilt.gig" >/dev/null 2>&1
    if gigdump --verify "$work/rebuilt.gig" 2>&1 | grep -q "All checks passed"; then
        echo FAIL
    else
        echo UNCHECKED
    fi
}

# A bank's SoundFont 2 copy, read back by sf2dump, and its GigaSampler copy (one file, or the parts a large
# bank is split into), verified by libgig. sf2dump refuses some valid banks (one with no instrument at
# all): when it refuses the source as well, it cannot judge the copy (UNCHECKED).
check_conversions() { # label input
    local label=$1 input=$2 out="$work/out" log="$work/log" v part parts
    run_cli "$log" convert -o "$out/copy.sf2" "$input"
    v=$(verdict_of "$log")
    if [ "$v" = PASS ]; then
        if ! [ -f "$out/copy.sf2" ]; then
            v=FAIL
        elif ! sf2dump "$out/copy.sf2" >"$work/peer" 2>&1; then
            case $input in
            *.sf2 | *.SF2) sf2dump "$input" >/dev/null 2>&1 && v=FAIL || v=UNCHECKED ;;
            *) v=FAIL ;;
            esac
        fi
    fi
    record sf2 "$v" "$label" "status $status"

    run_cli "$log" convert --to gig -o "$out/copy.gig" "$input"
    v=$(verdict_of "$log")
    if [ "$v" = PASS ]; then
        parts=0
        for part in "$out"/copy.gig "$out"/copy\ part*.gig; do
            [ -f "$part" ] || continue
            parts=$((parts + 1))
            case $(gig_verdict "$part") in
            FAIL) v=FAIL ;;
            UNCHECKED) [ "$v" = PASS ] && v=UNCHECKED ;;
            esac
        done
        [ "$parts" -eq 0 ] && v=FAIL
    fi
    record gig "$v" "$label" "status $status"
}

# Whether a 16-bit export holds the samples libsndfile reads from the source at 16 bits (G.711 expanded,
# 8-bit widened), compared through sox's reading of both as raw data.
same_samples() { # exported source
    sndfile-convert -pcm16 "$2" "$work/reference.wav" >/dev/null 2>&1 || return 0
    sox "$1" -t raw "$work/ours.raw" 2>/dev/null && sox "$work/reference.wav" -t raw "$work/theirs.raw" 2>/dev/null &&
        cmp -s "$work/ours.raw" "$work/theirs.raw"
}

check_input() { # label input isBank expectFrames(empty, or what libsndfile reads of an audio file) source
    local label=$1 input=$2 bank=$3 expect=${4:-} source=${5:-}
    local out="$work/out" log="$work/log" v
    rm -rf "$out" && mkdir -p "$out"

    run_cli "$log" info "$input"
    record info "$(verdict_of "$log")" "$label" "status $status"

    [ "$bank" = 1 ] && check_conversions "$label" "$input"

    # Samples exported as WAVE, each read by libsndfile; an audio file libsndfile reads must be exported,
    # with as many frames.
    run_cli "$log" export-samples -o "$out/wav" "$input"
    v=$(verdict_of "$log")
    local detail="status $status" count=0 got
    if [ "$v" = PASS ]; then
        while IFS= read -r -d '' w; do
            count=$((count + 1))
            sndfile-info "$w" >"$work/peer" 2>&1 || v=FAIL
            grep -q -i "^Error" "$work/peer" && v=FAIL
            if [ -n "$expect" ]; then
                got=$(frames_of "$w")
                [ "$got" = "$expect" ] || { v=FAIL; detail="$detail, $got frames, libsndfile reads $expect"; }
                if [ "$got" = "$expect" ] && [ "$(soxi -b "$w" 2>/dev/null)" = 16 ] && ! same_samples "$w" "$source"; then
                    v=FAIL
                    detail="$detail, samples differ from libsndfile's reading"
                fi
            fi
        done < <(find "$out/wav" -type f -print0 2>/dev/null)
        if [ "$count" -eq 0 ]; then
            # Compressed audio this program does not decode (ADPCM, MP3 ...) is listed but not exported, and
            # the run says so.
            if [ -n "$expect" ] && grep -q "skipped (no data in a format that can be read)" "$log"; then
                v=REFUSED
                detail="$detail, skipped as compressed; libsndfile reads $expect frames"
            elif [ -n "$expect" ]; then
                v=FAIL
                detail="$detail, not exported; libsndfile reads $expect frames"
            else
                v=REFUSED
            fi
        fi
    fi
    record export "$v" "$label" "$detail"
}

while IFS= read -r -d '' file; do
    label=${file#"$corpus"/}
    case $file in
    *.sf2 | *.sf3 | *.SF2 | *.dls | *.DLS | *.gig)
        check_input "$label" "$file" 1
        ;;
    *.wav | *.WAV | *.aif | *.aiff | *.aifc | *.AIF)
        folder="$work/in"
        rm -rf "$folder" && mkdir -p "$folder"
        ln -s "$file" "$folder/$(basename "$file")"
        check_input "$label" "$folder" 0 "$(frames_of "$file")" "$file"
        ;;
    esac
done < <(find -L "$corpus" -type f -print0 | sort -z)

echo
printf '%-8s %6s %6s %8s %10s\n' check pass fail refused unchecked
for check in info sf2 gig export; do
    printf '%-8s %6d %6d %8d %10d\n' "$check" "${passes[$check]:-0}" "${fails[$check]:-0}" \
        "${refusals[$check]:-0}" "${unchecked[$check]:-0}"
done
exit "$failed"
