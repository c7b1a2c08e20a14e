#!/usr/bin/env bash
# Builds the Debian package of a build folder with cpack, unpacks it into a scratch root with dpkg-deb and
# checks that every file a desktop and a shell look for is in place, that the programs start from there,
# and that the package asks for the libraries they link. lintian, when installed, reports on the package.
# Usage: check_deb.sh BUILD_DIR
set -euo pipefail
build="$1"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

# -B keeps cpack's staging and the package out of the build folder, so runs never meet.
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$scratch/pack" >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log"; exit 1; }
debs=("$scratch"/pack/*.deb)
[ "${#debs[@]}" -eq 1 ] && [ -f "${debs[0]}" ] || { echo "cpack made no single .deb"; ls -l "$scratch/pack"; exit 1; }
deb="${debs[0]}"
root="$scratch/root"
dpkg-deb -x "$deb" "$root"

status=0
expect() {
    for path in "$@"; do
        if [ ! -s "$root/$path" ]; then
            echo "missing from the package: /$path"
            status=1
        fi
    done
}
expect usr/bin/quorvane usr/bin/quorvane-cli \
    usr/share/applications/quorvane.desktop \
    usr/share/metainfo/io.github.quorvane.Quorvane.metainfo.xml \
    usr/share/mime/packages/quorvane.xml \
    usr/share/icons/hicolor/scalable/apps/quorvane.svg \
    usr/share/man/man1/quorvane.1.gz usr/share/man/man1/quorvane-cli.1.gz \
    usr/share/quorvane/help/index.html usr/share/quorvane/help/info.html usr/share/quorvane/help/tips.html \
    usr/share/bash-completion/completions/quorvane-cli usr/share/zsh/vendor-completions/_quorvane-cli \
    usr/share/doc/quorvane/changelog.gz
for size in 16 22 24 32 48 64 128 256; do
    png="usr/share/icons/hicolor/${size}x${size}/apps/quorvane.png"
    expect "$png"
    if [ -s "$root/$png" ] && ! file "$root/$png" | grep -q "PNG image data, $size x $size"; then
        echo "/$png is not a $size x $size PNG: $(file -b "$root/$png")"
        status=1
    fi
done
for program in quorvane quorvane-cli; do
    [ -x "$root/usr/bin/$program" ] || { echo "/usr/bin/$program is not executable"; status=1; }
done

# The installed programs run from where the package puts them.
"$root/usr/bin/quorvane" --version | grep -q '^Quorvane ' || { echo "quorvane --version failed"; status=1; }
"$root/usr/bin/quorvane-cli" --version | grep -q '^quorvane-cli ' || { echo "quorvane-cli --version failed"; status=1; }
LC_ALL=C man -l "$root/usr/share/man/man1/quorvane-cli.1.gz" 2>/dev/null | grep -q 'export-samples' ||
    { echo "man cannot show quorvane-cli.1.gz"; status=1; }

# The dependencies are computed from the linked libraries, so Qt, FluidSynth and the C library are there.
depends="$(dpkg-deb -f "$deb" Depends)"
for library in libc6 libqt6widgets6 libfluidsynth3 libsndfile1; do
    grep -q "$library" <<<"$depends" || { echo "Depends lacks $library: $depends"; status=1; }
done
[ "$(dpkg-deb -f "$deb" Package)" = quorvane ] || { echo "the package is not called quorvane"; status=1; }
# The changelog's newest entry is this version.
version="$(dpkg-deb -f "$deb" Version)"
zcat "$root/usr/share/doc/quorvane/changelog.gz" | head -1 | grep -qF "quorvane ($version)" ||
    { echo "the changelog does not start with version $version"; status=1; }

if command -v lintian >/dev/null 2>&1; then
    echo "lintian on $(basename "$deb"):"
    lintian --no-tag-display-limit "$deb" || true
fi
exit "$status"
