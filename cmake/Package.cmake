# The Debian package, built by `make deb` with CPack: the files `cmake --install` puts under /usr,
# the dependencies worked out by dpkg-shlibdeps from the installed programs, and the copyright and
# changelog files Debian asks for in /usr/share/doc/qlor.

set(QLOR_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/qlor)
install(FILES ${CMAKE_SOURCE_DIR}/data/debian/copyright DESTINATION ${QLOR_DOC_DIR})
configure_file(${CMAKE_SOURCE_DIR}/data/debian/changelog.in ${CMAKE_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/debian/changelog.gz
                   COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_BINARY_DIR}/debian/changelog > ${CMAKE_BINARY_DIR}/debian/changelog.gz
                   DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog
                   COMMENT "Compressing the package changelog")
add_custom_target(qlor_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/debian/changelog.gz)
install(FILES ${CMAKE_BINARY_DIR}/debian/changelog.gz DESTINATION ${QLOR_DOC_DIR})

# Everything the package installs, built by `make deb` without the tests and benchmarks. A target
# that produces an installed file belongs here.
add_custom_target(qlor_package_files)
foreach(target qlor qlor-cli qlor_man_pages qlor_changelog noise_recordings)
    if(TARGET ${target})
        add_dependencies(qlor_package_files ${target})
    endif()
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME qlor)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "QLOR-2000 developers")
set(CPACK_PACKAGE_CONTACT "QLOR-2000 developers <qlor2000@users.noreply.github.com>")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Morse code reception trainer")
# The extended description; CPack puts the summary above it as the synopsis.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "QLOR-2000 helps radio operators learn to receive Morse code by ear. It
composes reproducible practice radiograms (a four-digit text number seeds
the generator), keys them into Standard MIDI Files at an exact speed and
plays them with an optional looping noise recording. It checks the typed
copy character by character, runs competitions at rising speeds and writes
numbered series of text and MIDI files.
.
The window is in English or Russian and can be used with the keyboard and a
screen reader. The package also holds qlor-cli, a command-line companion on
the same core.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION hamradio)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: Qt's X11 and Wayland platform plugins.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# The General MIDI SoundFont the Morse is played with by default ("auto" falls back to a pure tone).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "timgm6mb-soundfont")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "orca")
# Files and folders of the package are owned by root with the usual modes.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
