# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Read by cpack before it packs. CPack stamps every file of the package with
# SOURCE_DATE_EPOCH when it is set; when it is not, it is set here to the time
# of the last commit, or outside a git checkout to the release date, so that
# packing the same sources twice gives the same bytes.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
    execute_process(COMMAND git -C ${CPACK_SORAWATA_SOURCE_DIR} log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT epoch MATCHES "^[0-9]+$")
        set(epoch ${CPACK_SORAWATA_RELEASE_EPOCH})
    endif()
    set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()
