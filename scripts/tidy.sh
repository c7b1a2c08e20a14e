#!/usr/bin/env bash
# Runs clang-tidy with the project's .clang-tidy over every source file of src/, app/ and tests/, using the
# compile commands of the test build (made by ./test). Exits non-zero on any finding.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

quorvane_install_packages clang-tidy
build="$QUORVANE_ROOT/build/test"
if [ ! -f "$build/compile_commands.json" ]; then
    quorvane_log "no $build/compile_commands.json: run ./test first"
    exit 1
fi
quorvane_source_files | grep '\.cpp$' |
    xargs -P "${QUORVANE_JOBS:-$(nproc)}" -n 4 clang-tidy -p "$build" --quiet
