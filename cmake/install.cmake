# What `cmake --install` puts where, and the Debian package `cpack -G DEB` makes of it.
# The recordings are installed by tools/sounds, which makes them, into ROTORDUEL_INSTALL_SOUNDSDIR.

install(TARGETS rotorduel RUNTIME DESTINATION ${ROTORDUEL_INSTALL_GAMESDIR})
install(FILES data/rotorduel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/io.github.rotorduel.RotorDuel.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/rotorduel.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The manual page and the changelog as Debian keeps them: compressed, with no name or time stamp
# inside, so that the same sources make the same package.
foreach(text rotorduel.6 changelog)
  execute_process(COMMAND gzip -9 -n -c ${CMAKE_SOURCE_DIR}/data/${text}
                  OUTPUT_FILE ${CMAKE_BINARY_DIR}/${text}.gz RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "cannot compress data/${text} with gzip")
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS data/${text})
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/rotorduel.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES README.md LICENSE data/copyright ${CMAKE_BINARY_DIR}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(ROTORDUEL_MAINTAINER "Rotor Duel developers <rotorduel@example.org>"
    CACHE STRING "The packages' maintainer: a name and an address")

set(CPACK_PACKAGE_NAME rotorduel)
set(CPACK_PACKAGE_VENDOR "Rotor Duel developers")
set(CPACK_PACKAGE_CONTACT "${ROTORDUEL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "audio-only helicopter duel, played by ear")
# The long description, in lines short enough for a package manager's window.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Rotor Duel is an action game without pictures: you fly a small helicopter in"
  "a closed room against one flown by the computer, and everything is heard in"
  "3D, best on headphones. A target finder turns the enemy's bearing and height"
  "into tones, and a speech voice reads your position and the score on request."
  "It is played with the keyboard, so it suits players who are blind and use a"
  "screen reader.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${ROTORDUEL_MAINTAINER}")
# The libraries' packages come from the program itself (dpkg-shlibdeps); espeak-ng's voices are
# data read at run time, which no library link shows.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "espeak-ng-data")

include(CPack)
