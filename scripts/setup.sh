# Shared set-up for ./test, ./run and the benchmark scripts. Source it; do not run it.
#
# It installs the Debian packages the build and the tests need (only the missing ones, so a machine that
# has them all never touches apt) and configures and builds one build folder.

QUORVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Build tools, libraries, and what the tests use: the FluidSynth, libgig (gigtools), sox and libsndfile
# (sndfile-programs) peers and two real-world SoundFont banks, a small one and FluidR3_GM (148 MB), whose
# copies must render as the originals. The desktop program needs Qt 6 Widgets and SVG; the window tests run
# on Qt's offscreen platform, which needs fonts; Xvfb and xauth let the benchmarks and a display-less
# machine run the program itself. Samples play through RtAudio; the playback tests run a
# PulseAudio server of their own (pulseaudio) and record what it plays with parec (pulseaudio-utils). MIDI
# inputs come through RtMidi (librtmidi-dev); its test sends through a JACK server of its own (jackd2, with
# the dummy back end, so no sound card is needed). GNU time (time) measures the peak memory of the
# command-line program in the memory-bound tests. The manual pages are built with scdoc; the desktop
# entry, the software-centre metadata, the file types, the manual pages and the Debian package are checked
# with the tools distributions use (desktop-file-utils, appstream, shared-mime-info, man-db, file, dpkg-dev's
# dpkg-shlibdeps for the package's dependencies, lintian).
QUORVANE_PACKAGES=(
    cmake ninja-build g++ pkg-config clang-format
    qt6-base-dev qt6-svg-dev fonts-dejavu-core xvfb xauth
    libgtest-dev libgmock-dev nlohmann-json3-dev libcli11-dev libfluidsynth-dev
    gigtools libgig-dev timgm6mb-soundfont fluid-soundfont-gm sox sndfile-programs
    librtaudio-dev pulseaudio pulseaudio-utils librtmidi-dev jackd2 time
    libasound2-dev libjack-jackd2-dev
    libsndfile1-dev musescore-general-soundfont-small libdeflate-dev
    scdoc desktop-file-utils appstream shared-mime-info man-db file dpkg-dev lintian zsh
)

quorvane_log() { printf '==> %s\n' "$*" >&2; }

# Prints the packages among the arguments that are not installed.
quorvane_missing_packages() {
    local pkg
    for pkg in "$@"; do
        if ! dpkg-query -W -f='${Status}\n' "$pkg" 2>/dev/null | grep -q ' installed$'; then
            printf '%s\n' "$pkg"
        fi
    done
}

# Installs whichever of the given packages are missing. apt-get update runs only when something is
# missing. As root apt-get runs directly (CI); otherwise through sudo when there is one.
quorvane_install_packages() {
    local missing
    mapfile -t missing < <(quorvane_missing_packages "$@")
    if [ "${#missing[@]}" -eq 0 ]; then
        return 0
    fi
    local -a as_root=()
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            as_root=(sudo)
        else
            quorvane_log "missing packages: ${missing[*]}"
            quorvane_log "not root and no sudo: install them as root, then run this again"
            return 1
        fi
    fi
    quorvane_log "installing: ${missing[*]}"
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q || return 1
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -q --no-install-recommends "${missing[@]}" || return 1
}

# The C++ files of the project: tracked ones in a git checkout, else every one under the source folders.
quorvane_source_files() {
    if git -C "$QUORVANE_ROOT" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git -C "$QUORVANE_ROOT" ls-files -co --exclude-standard -- '*.cpp' '*.h' | sed "s#^#$QUORVANE_ROOT/#"
    else
        find "$QUORVANE_ROOT/src" "$QUORVANE_ROOT/app" "$QUORVANE_ROOT/tests" -name '*.cpp' -o -name '*.h'
    fi
}

# Fails, naming the files, when a C++ file is not laid out as .clang-format says.
quorvane_check_format() {
    local -a unformatted=()
    local file
    while IFS= read -r file; do
        [ -f "$file" ] || continue
        if ! clang-format --dry-run --Werror "$file" >/dev/null 2>&1; then
            unformatted+=("${file#"$QUORVANE_ROOT"/}")
        fi
    done < <(quorvane_source_files)
    if [ "${#unformatted[@]}" -ne 0 ]; then
        quorvane_log "not formatted (run: clang-format -i FILE): ${unformatted[*]}"
        return 1
    fi
}

# quorvane_build FOLDER BUILD_TYPE [CMAKE_ARGS... [-- BUILD_ARGS...]]
# Configures FOLDER (relative to the project root) with Ninja and builds it. QUORVANE_JOBS limits the
# number of parallel compile jobs (default: the number of processors).
quorvane_build() {
    local dir="$QUORVANE_ROOT/$1" type="$2"
    shift 2
    local -a configure_args=() build_args=()
    while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do
        configure_args+=("$1")
        shift
    done
    [ "$#" -gt 0 ] && shift
    build_args=("$@")
    quorvane_log "configuring $dir ($type)"
    cmake -S "$QUORVANE_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${configure_args[@]}" || return 1
    quorvane_log "building $dir"
    cmake --build "$dir" -j "${QUORVANE_JOBS:-$(nproc)}" "${build_args[@]}" || return 1
}
