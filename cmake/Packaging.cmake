# The Debian package: `cpack -G DEB` in a build folder makes quorvane_VERSION_ARCH.deb with the desktop
# program, the command-line program, their manual pages, help pages, icons, file types, desktop entry and
# software-centre metadata, under /usr. Its library dependencies are computed from the programs with
# dpkg-shlibdeps, so the package asks for exactly the libraries the build linked.
include(GNUInstallDirs)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quorvane)
set(CPACK_PACKAGE_VENDOR "The Quorvane developers")
set(CPACK_PACKAGE_CONTACT "The Quorvane developers <quorvane@users.noreply.github.com>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "browse, play and convert sampler sound banks")
# The long description as Debian shows it: lines under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvane browses sample banks on disk and on Akai sampler CD-ROMs, shows
their presets, layers, zones and samples with their key and velocity maps,
plays samples, auditions presets through FluidSynth from a MIDI keyboard,
and converts banks between formats. It reads SoundFont 2 and 3, DLS,
GigaSampler and SFZ banks, Akai S1000/S3000 volumes and WAVE and AIFF
files, and writes SoundFont 2 and 3, GigaSampler, SFZ, WAVE and AIFF.
quorvane-cli does the same inspection and conversion from the command
line, and checks what a conversion kept and lost.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://github.com/quorvane/quorvane")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# FluidSynth finds the sound server through its own plug-ins; the help pages open in the user's browser.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xdg-utils")

# The changelog where Debian keeps it, compressed without a time stamp so that builds stay reproducible.
set(QUORVANE_CHANGELOG_GZ ${CMAKE_BINARY_DIR}/changelog.gz)
add_custom_command(OUTPUT ${QUORVANE_CHANGELOG_GZ}
  COMMAND gzip -9 -n -c ${PROJECT_SOURCE_DIR}/docs/changelog > ${QUORVANE_CHANGELOG_GZ}
  DEPENDS ${PROJECT_SOURCE_DIR}/docs/changelog
  VERBATIM)
add_custom_target(quorvane_changelog ALL DEPENDS ${QUORVANE_CHANGELOG_GZ})
install(FILES ${QUORVANE_CHANGELOG_GZ} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvane)

include(CPack)
