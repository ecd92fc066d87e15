# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Debian's hardening flags, as dpkg-buildflags gives them to Debian's own
# packages with every hardening feature on: fortified libc calls, the stack
# protector, read-only relocations bound at start-up (relro, now); PIE is the
# compiler's default. The sanitizer and fuzzing builds instrument the same
# calls their own way and are left as they are.
option(SORAWATA_HARDENING "Build with Debian's hardening flags (dpkg-buildflags)" ON)

if(SORAWATA_HARDENING AND NOT SORAWATA_SANITIZE AND NOT SORAWATA_FUZZ)
    find_program(DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
    foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
        # Run from the source folder, so that the debug information names the
        # sources relative to it and the package builds reproducibly.
        execute_process(
            COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                    ${DPKG_BUILDFLAGS} --get ${kind}
            WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
            OUTPUT_VARIABLE debian_${kind}
            OUTPUT_STRIP_TRAILING_WHITESPACE
            COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
    # The build folder is named "." as well, wherever it lies, for the sources
    # generated in it (the last matching map is the one that counts).
    string(APPEND CMAKE_CXX_FLAGS " ${debian_CPPFLAGS} ${debian_CXXFLAGS}"
           " -ffile-prefix-map=${CMAKE_BINARY_DIR}=.")
    string(APPEND CMAKE_EXE_LINKER_FLAGS " ${debian_LDFLAGS}")
    string(APPEND CMAKE_MODULE_LINKER_FLAGS " ${debian_LDFLAGS}")
endif()
