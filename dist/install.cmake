# Installing the show (`cmake --install`, `make install`) and packaging it as
# a Debian package (`cpack -G DEB`, `make package`).
#
#   bin/vallup
#   share/vallup/data/{music,3d,textures}/...   the show's files, as data/ holds them
#   share/applications/vallup.desktop
#   share/icons/hicolor/NxN/apps/vallup.png     made by tools/make-icons.py
#   share/man/man6/vallup.6.gz
#   share/doc/vallup/changelog.gz, copyright
#
# The program finds its data from the executable's own place
# (<bindir>/../share/vallup), so the tree can go under any prefix.
include(GNUInstallDirs)

set(VALLUP_DIST_DIR ${CMAKE_CURRENT_LIST_DIR})

install(TARGETS vallup RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

foreach(folder music 3d textures)
  install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/${folder}/
          DESTINATION ${CMAKE_INSTALL_DATADIR}/vallup/data/${folder})
endforeach()

install(FILES ${VALLUP_DIST_DIR}/vallup.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${VALLUP_DIST_DIR}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)

# The man page and the changelog, compressed as Debian ships them: gzip -9n
# (no name, no time stamp, so the same file gives the same bytes).
find_program(VALLUP_GZIP gzip REQUIRED)
set(VALLUP_GZ_DIR ${CMAKE_BINARY_DIR}/dist)
function(vallup_gzip source name)
  add_custom_command(
    OUTPUT ${VALLUP_GZ_DIR}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${VALLUP_DIST_DIR}/${source} ${VALLUP_GZ_DIR}/${name}
    COMMAND ${VALLUP_GZIP} -9nf ${VALLUP_GZ_DIR}/${name}
    DEPENDS ${VALLUP_DIST_DIR}/${source}
    COMMENT "Compressing ${name}"
    VERBATIM)
endfunction()
vallup_gzip(vallup.6 vallup.6)
vallup_gzip(changelog changelog)
add_custom_target(vallup_compressed_docs ALL
                  DEPENDS ${VALLUP_GZ_DIR}/vallup.6.gz ${VALLUP_GZ_DIR}/changelog.gz)
install(FILES ${VALLUP_GZ_DIR}/vallup.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)

# Debian's place for a package's changelog (changelog.gz: the package has
# no Debian revision, so it is its own upstream) and its machine-readable
# copyright (DEP-5): ours, and the DejaVu fonts' for the glyphs in the
# caption and C64 textures.
install(FILES ${VALLUP_GZ_DIR}/changelog.gz ${VALLUP_DIST_DIR}/copyright
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package. dpkg-shlibdeps (dpkg-dev) finds the shared libraries'
# packages; what the program needs at run time but does not link is named here:
# Mesa's software GL driver, loaded by libGL/libEGL. Recommended: the X core
# fonts, which SDL's own question box draws with (Debian forbids depending on
# an X font package; apt installs Recommends by default, and without the fonts
# the question and the answer taken go to standard error), and ffmpeg, only for
# --capture to a video.
set(VALLUP_MAINTAINER "Seed 8575d60c maintainers <maintainers@users.noreply.c-seed-8575d60c.example>"
    CACHE STRING "Maintainer field of the Debian package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vallup)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "real-time audiovisual demo locked to its music")
set(CPACK_PACKAGE_DESCRIPTION "A demo for watching: one music track and, locked to its playback
position, a fixed sequence of OpenGL scenes for a little over two minutes:
copper bars, a C64-style screen, a lit cube on the beat, rotozoomers, glowing
ball sprites, chrome meshes, sliding captions and a letterbox. It can also
render single frames, or the whole show to a video, without a display.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VALLUP_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libgl1-mesa-dri")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "ffmpeg, xfonts-base")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
include(CPack)
