# Installation of the desktop program: the launcher the desktop entry starts, the shipped language
# files and noise recordings, the desktop entry, the icon and the AppStream metadata. The programs themselves (qlor,
# qlor-cli) are installed by their own folders.

set(QLOR_APP_ID io.github.qlor2000.QLOR)
set(QLOR_SHIPPED_DIR ${CMAKE_INSTALL_DATADIR}/qlor)

set(QLOR_FULL_SHIPPED_DIR ${CMAKE_INSTALL_FULL_DATADIR}/qlor)

# Manual pages: filled in with the version and the installed paths, then compressed as Debian
# installs them (gzip -n, so the package builds byte for byte the same).
find_program(GZIP_PROGRAM gzip REQUIRED)
set(QLOR_MAN_PAGES qlor-cli)
if(TARGET qlor)
    list(APPEND QLOR_MAN_PAGES qlor)
endif()
set(QLOR_MAN_FILES)
foreach(page ${QLOR_MAN_PAGES})
    configure_file(${CMAKE_SOURCE_DIR}/data/man/${page}.1.in ${CMAKE_BINARY_DIR}/man/${page}.1 @ONLY)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.1.gz
                       COMMAND ${GZIP_PROGRAM} -9 -n -c ${CMAKE_BINARY_DIR}/man/${page}.1 > ${CMAKE_BINARY_DIR}/man/${page}.1.gz
                       DEPENDS ${CMAKE_BINARY_DIR}/man/${page}.1
                       COMMENT "Compressing the manual page ${page}(1)")
    list(APPEND QLOR_MAN_FILES ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
endforeach()
add_custom_target(qlor_man_pages ALL DEPENDS ${QLOR_MAN_FILES})
install(FILES ${QLOR_MAN_FILES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Completion of qlor-cli's commands and options in bash, loaded on demand by bash-completion.
install(FILES ${CMAKE_SOURCE_DIR}/data/completion/qlor-cli
        DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)

# Without the window (QLOR_BUILD_GUI=OFF) there is nothing for the desktop to start.
if(NOT TARGET qlor)
    return()
endif()

# The launcher finds the shipped files relative to its own directory, so the path between the two
# is fixed at configure time and the prefix may still change at install time (--prefix, DESTDIR).
file(RELATIVE_PATH QLOR_SHIPPED_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/qlor)
configure_file(${CMAKE_SOURCE_DIR}/scripts/qlor-launcher ${CMAKE_BINARY_DIR}/qlor-launcher @ONLY)
install(PROGRAMS ${CMAKE_BINARY_DIR}/qlor-launcher DESTINATION ${CMAKE_INSTALL_BINDIR})
# The launcher is described in qlor(1).
file(CREATE_LINK qlor.1.gz ${CMAKE_BINARY_DIR}/man/qlor-launcher.1.gz SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/man/qlor-launcher.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# Language files are installed byte for byte (Windows-1251, CR LF).
file(GLOB QLOR_SHIPPED_LANGUAGES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/*.lng)
install(FILES ${QLOR_SHIPPED_LANGUAGES} DESTINATION ${QLOR_SHIPPED_DIR})
# The generated noise recordings (cmake/NoiseRecordings.cmake) go beside them.
install(FILES ${QLOR_NOISE_RECORDINGS} DESTINATION ${QLOR_SHIPPED_DIR})

install(FILES ${CMAKE_SOURCE_DIR}/data/qlor.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
        RENAME ${QLOR_APP_ID}.desktop)
install(FILES ${CMAKE_SOURCE_DIR}/data/icons/${QLOR_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${CMAKE_SOURCE_DIR}/data/${QLOR_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
