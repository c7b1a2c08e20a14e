#!/usr/bin/env bash
# Builds the fuzz targets with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer (in
# build/fuzz), then runs each target for SECONDS (default 600), one after another:
#
#   fuzz/run.sh [SECONDS] [TARGET...]        e.g. fuzz/run.sh 300 sf2_load dls_load
#
# Each target starts from its committed seeds (fuzz/corpus/<target>) and its regression inputs, and keeps
# what it grows in $QUORVANE_FUZZ_DIR/corpus/<target> (default build/fuzz/corpus), so a later run goes on
# from there; the tree is never written. A fault's input lands in $QUORVANE_FUZZ_DIR/crashes/<target>/, the
# run's output in $QUORVANE_FUZZ_DIR/logs/<target>.log. The script ends with a table of executions and
# executions per second, and fails when any target found a fault.
#
# QUORVANE_FUZZ_NICE (default 0) runs the fuzzers at that niceness; QUORVANE_JOBS sets the build's jobs;
# QUORVANE_FUZZ_ARGS adds libFuzzer options (e.g. "-jobs=2 -workers=2").
set -euo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/../scripts/setup.sh"
root="$QUORVANE_ROOT"
seconds="${1:-600}"
[ $# -gt 0 ] && shift
all_targets=(sf2_load dls_load audio_files akai_disc edits_file bank_write)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all_targets[@]}")

build="$root/build/fuzz"
work="${QUORVANE_FUZZ_DIR:-$build}"

# The project's packages (the configuration looks for them all), clang and its sanitizer and fuzzer runtime.
quorvane_install_packages "${QUORVANE_PACKAGES[@]}" clang libclang-rt-14-dev
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQUORVANE_FUZZ=ON -DQUORVANE_TESTS=OFF \
    "${launcher[@]}" >/dev/null
cmake --build "$build" -j "${QUORVANE_JOBS:-$(nproc)}" --target fuzz_targets

dictionary() {
    case "$1" in
    sf2_load) cat "$root/fuzz/dict/sf2.dict" ;;
    sf3_load) cat "$root/fuzz/dict/sf2.dict" "$root/fuzz/dict/ogg.dict" ;;
    sfz_load) cat "$root/fuzz/dict/sfz.dict" ;;
    dls_load) cat "$root/fuzz/dict/dls.dict" ;;
    bank_write) cat "$root/fuzz/dict/sf2.dict" "$root/fuzz/dict/dls.dict" ;;
    audio_files) cat "$root/fuzz/dict/audio.dict" ;;
    akai_disc) cat "$root/fuzz/dict/akai.dict" ;;
    edits_file) cat "$root/fuzz/dict/edits.dict" ;;
    *) echo "unknown target '$1'" >&2 && return 1 ;;
    esac
}

# The targets write each input as a file into a folder of memory-backed storage, removed at the end.
shm=/dev/shm
[ -w "$shm" ] || shm="${TMPDIR:-/tmp}"
scratch="$(mktemp -d "$shm/quorvane-fuzz-run-XXXXXX")"
trap 'rm -rf "$scratch"' EXIT
export QUORVANE_FUZZ_SCRATCH="$scratch"

mkdir -p "$work/logs"
status=0
summary=()
for target in "${targets[@]}"; do
    mkdir -p "$work/corpus/$target" "$work/crashes/$target"
    dictionary "$target" >"$work/$target.dict"
    log="$work/logs/$target.log"
    seeds=("$root/fuzz/corpus/$target")
    [ -d "$root/fuzz/regressions/$target" ] && seeds+=("$root/fuzz/regressions/$target")
    echo "fuzzing $target for ${seconds}s (log: $log)"
    result=ok
    # shellcheck disable=SC2086
    if ! nice -n "${QUORVANE_FUZZ_NICE:-0}" "$build/fuzz/fuzz_$target" -max_total_time="$seconds" \
        -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 -dict="$work/$target.dict" \
        -artifact_prefix="$work/crashes/$target/" ${QUORVANE_FUZZ_ARGS:-} \
        "$work/corpus/$target" "${seeds[@]}" >"$log" 2>&1; then
        result="FAULT (see $log and $work/crashes/$target/)"
        status=1
    fi
    runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
    rate="$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)"
    summary+=("$(printf '%-12s %12s %8s  %s' "$target" "${runs:-?}" "${rate:-?}" "$result")")
done

printf '\n%-12s %12s %8s  %s\n' target executions exec/s result
printf '%s\n' "${summary[@]}"
exit "$status"
