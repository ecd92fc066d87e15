# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Installing the game and packing it as a Debian package (cpack -G DEB).
include(GNUInstallDirs)

# Installing copies what was built and builds nothing: the tests and benchmarks
# need not be built to pack the game (build the target sorawata first).
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

# The game reads its assets from the folder that holds the executable, so the
# executable and its assets share one folder of their own. Like other programs
# that keep their files beside them, that folder is lib/<package>: it holds
# data as well as the program, which rules out libexec (programs only), and
# nothing links against it, so the multiarch library folder buys nothing.
set(SORAWATA_INSTALL_GAMEDIR "lib/sorawata" CACHE STRING
    "Folder under the prefix that holds the game and its assets")

install(TARGETS sorawata RUNTIME DESTINATION ${SORAWATA_INSTALL_GAMEDIR})
install(FILES ${CMAKE_BINARY_DIR}/dat.txt ${CMAKE_BINARY_DIR}/end0.txt
              ${CMAKE_BINARY_DIR}/end1.txt ${CMAKE_BINARY_DIR}/bgm.wav
        DESTINATION ${SORAWATA_INSTALL_GAMEDIR})
set(scene_pictures)
foreach(name 0 1 2 3 4 end0 end1)
    list(APPEND scene_pictures ${CMAKE_BINARY_DIR}/img/${name}.jpg)
endforeach()
install(FILES ${scene_pictures} DESTINATION ${SORAWATA_INSTALL_GAMEDIR}/img)

# bin/sorawata is a relative link, so the installed tree can be moved whole.
# Qt finds the game's folder through /proc/self/exe, which names the real file.
file(RELATIVE_PATH game_from_bin /prefix/${CMAKE_INSTALL_BINDIR}
     /prefix/${SORAWATA_INSTALL_GAMEDIR}/sorawata)
file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/packaging)
file(CREATE_LINK ${game_from_bin} ${CMAKE_BINARY_DIR}/packaging/sorawata SYMBOLIC)
install(FILES ${CMAKE_BINARY_DIR}/packaging/sorawata DESTINATION ${CMAKE_INSTALL_BINDIR})

# Desktop integration: menu entry, icons, AppStream metadata (named by its id).
install(FILES ${PROJECT_SOURCE_DIR}/data/sorawata.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
    install(FILES ${SORAWATA_GENERATED_DIR}/hicolor/${size}x${size}/apps/sorawata.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/data/sorawata.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/data/sorawata.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo
        RENAME io.github.sorawata.Sorawata.metainfo.xml)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sorawata)
set(CPACK_PACKAGE_VENDOR "Sorawata developers")
set(CPACK_PACKAGE_CONTACT "Sorawata developers <sorawata@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "quiet night game about a quarrel, in Japanese")
set(CPACK_PACKAGE_DESCRIPTION
    "You are one of two people who have quarrelled, and you spend the night\n\
thinking it over: your moods and your partner's move as you think, until one\n\
of you gives in. The pictures, texts and music can be replaced by your own.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# dpkg-shlibdeps finds the libraries the game links (Qt, libc, libstdc++); what
# Qt loads at run time is named here: the X11 platform plugin, the
# PulseAudio client behind QAudioSink, and a font with kanji. (The multimedia
# plugins come with libqt6multimedia6, which dpkg-shlibdeps already names.)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, libpulse0, fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, qt6-wayland")
include(CPack)
