# SPDX-FileCopyrightText: 2026 The Sorawata developers
# SPDX-License-Identifier: MIT

# Run by cpack once it has installed what it packs into its staging folder.
# Installing makes folders as the umask allows, and dpkg makes the package's
# new folders as the package gives them: under a umask such as 077 the game's
# folder would be closed to its players. Every folder is set to rwxr-xr-x.
file(CHMOD_RECURSE ${CPACK_TEMPORARY_DIRECTORY}
     DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
                           GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
