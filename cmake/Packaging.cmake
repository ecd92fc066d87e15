# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Installing the game and packing it as a Debian package (cpack -G DEB).
include(GNUInstallDirs)

# The release: the project's version (CMakeLists.txt) and this date go into
# the package, the AppStream release and the changelog.
set(SORAWATA_RELEASE_DATE 2026-12-07)
set(CPACK_PACKAGE_CONTACT "Sorawata developers <sorawata@example.org>")

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

# The picture decoder and the sound library lie beside the game, which starts and loads them from
# there.
install(TARGETS sorawata sorawata-picture-decoder RUNTIME DESTINATION ${SORAWATA_INSTALL_GAMEDIR})
install(TARGETS sorawata-sound LIBRARY DESTINATION ${SORAWATA_INSTALL_GAMEDIR}/sound)
# Stripped as Debian strips its own packages: the compiler's .comment too.
foreach(program sorawata sorawata-picture-decoder sound/libsorawata-sound.so)
    install(CODE "
        if(CMAKE_INSTALL_DO_STRIP)
            execute_process(COMMAND ${CMAKE_OBJCOPY} --remove-section=.comment
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${SORAWATA_INSTALL_GAMEDIR}/${program}\"
                COMMAND_ERROR_IS_FATAL ANY)
        endif()")
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/dat.txt ${CMAKE_BINARY_DIR}/end0.txt
              ${CMAKE_BINARY_DIR}/end1.txt ${CMAKE_BINARY_DIR}/bgm.wav
        DESTINATION ${SORAWATA_INSTALL_GAMEDIR})
set(scene_pictures)
foreach(name 0 1 2 3 4 end0 end1)
    list(APPEND scene_pictures ${CMAKE_BINARY_DIR}/img/${name}.jpg)
endforeach()
install(FILES ${scene_pictures} DESTINATION ${SORAWATA_INSTALL_GAMEDIR}/img)

# Debian places games in /usr/games: games/sorawata is a relative link, so the
# installed tree can be moved whole. Qt finds the game's folder through
# /proc/self/exe, which names the real file.
set(SORAWATA_INSTALL_LAUNCHERDIR "games" CACHE STRING
    "Folder under the prefix that holds the link that starts the game")
file(RELATIVE_PATH game_from_launcher /prefix/${SORAWATA_INSTALL_LAUNCHERDIR}
     /prefix/${SORAWATA_INSTALL_GAMEDIR}/sorawata)
set(packaging_dir ${CMAKE_BINARY_DIR}/packaging)
file(MAKE_DIRECTORY ${packaging_dir})
file(CREATE_LINK ${game_from_launcher} ${packaging_dir}/sorawata SYMBOLIC)
install(FILES ${packaging_dir}/sorawata DESTINATION ${SORAWATA_INSTALL_LAUNCHERDIR})

# Desktop integration: menu entry, icons, AppStream metadata (named by its id).
install(FILES ${PROJECT_SOURCE_DIR}/data/sorawata.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size 16 32 48 64 128 256)
    install(FILES ${SORAWATA_GENERATED_DIR}/hicolor/${size}x${size}/apps/sorawata.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/data/sorawata.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(SORAWATA_METAINFO ${packaging_dir}/io.github.sorawata.sorawata.metainfo.xml)
configure_file(${PROJECT_SOURCE_DIR}/data/sorawata.metainfo.xml.in ${SORAWATA_METAINFO} @ONLY)
install(FILES ${SORAWATA_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# The manual pages and the changelog, compressed as Debian wants them: gzip -9
# without a time stamp, so that the package builds reproducibly.
function(sorawata_gzip file)
    execute_process(COMMAND gzip -9nc ${file} OUTPUT_FILE ${file}.gz COMMAND_ERROR_IS_FATAL ANY)
endfunction()

foreach(language_dir "" "ja/")
    configure_file(${PROJECT_SOURCE_DIR}/man/${language_dir}sorawata.6
                   ${packaging_dir}/man/${language_dir}sorawata.6 COPYONLY)
    sorawata_gzip(${packaging_dir}/man/${language_dir}sorawata.6)
    install(FILES ${packaging_dir}/man/${language_dir}sorawata.6.gz
            DESTINATION ${CMAKE_INSTALL_MANDIR}/${language_dir}man6)
endforeach()

execute_process(COMMAND date -u -R -d ${SORAWATA_RELEASE_DATE}
                OUTPUT_VARIABLE SORAWATA_RELEASE_DATE_RFC2822
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/changelog.in ${packaging_dir}/doc/changelog @ONLY)
sorawata_gzip(${packaging_dir}/doc/changelog)

# Debian's copyright file holds the licence's text after its title and
# copyright line, indented, with " ." for each empty line.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE licence)
string(REGEX REPLACE "^.*\n(Permission is hereby granted)" "\\1" licence "${licence}")
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " SORAWATA_LICENSE_TEXT " ${licence}")
configure_file(${PROJECT_SOURCE_DIR}/packaging/copyright.in ${packaging_dir}/doc/copyright @ONLY)

install(FILES ${packaging_dir}/doc/copyright ${packaging_dir}/doc/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/packaging/lintian-overrides
        DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME sorawata)

# The same commit packs to the same bytes. Every time stamp in the package is
# SOURCE_DATE_EPOCH, which cpack takes from the last commit when it is not set
# (CPackOptions.cmake); the folders in it are readable by all whatever the
# umask cpack runs under (CPackStaged.cmake).
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/CPackOptions.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/CPackStaged.cmake)
set(CPACK_SORAWATA_SOURCE_DIR ${PROJECT_SOURCE_DIR})
execute_process(COMMAND date -u -d ${SORAWATA_RELEASE_DATE} +%s
                OUTPUT_VARIABLE CPACK_SORAWATA_RELEASE_EPOCH
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME sorawata)
set(CPACK_PACKAGE_VENDOR "Sorawata developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "quiet night game about a quarrel, in Japanese")
set(CPACK_PACKAGE_DESCRIPTION
    "You are one of two people who have quarrelled, and you spend the night\n\
thinking it over: your moods and your partner's move as you think, until one\n\
of you gives in. The pictures, texts and music can be replaced by your own.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
# dpkg-shlibdeps finds the libraries the game links (Qt, libsndfile with the
# decoders it depends on, the PulseAudio client, libc, libstdc++); what Qt loads at run time is named here: the X11 platform plugin,
# and a font with kanji.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, fonts-noto-cjk")
# Qt's own words (the command line's "Usage:", "Unknown option") in the player's language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pulseaudio | pipewire-pulse, qt6-wayland, qt6-translations-l10n")
include(CPack)
