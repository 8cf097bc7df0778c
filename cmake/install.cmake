# Installation rules and the Debian package of velmaron.
#
# Included by the top-level CMakeLists.txt after the velmaron target exists.
#   cmake --install build [--strip]      installs the program (and the manual page)
#   cpack --config build/CPackConfig.cmake -G DEB
#                                        builds velmaron_<version>_<arch>.deb
# Every file in the package is stripped (CPACK_STRIP_FILES), whatever the
# build type, so a Release package carries no symbol table.

include(GNUInstallDirs)

install(TARGETS velmaron RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

set(VELMARON_MANPAGE ${CMAKE_CURRENT_SOURCE_DIR}/man/velmaron.1)
set(VELMARON_LICENSE "")
foreach(candidate LICENSE LICENSE.txt LICENSE.md COPYING COPYING.txt)
  if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${candidate})
    set(VELMARON_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/${candidate})
    break()
  endif()
endforeach()

if(NOT WIN32 AND EXISTS ${VELMARON_MANPAGE})
  # Debian wants manual pages compressed with gzip -9 and no name or time in
  # the gzip header (-n), so that rebuilding gives the same bytes. The page
  # is compressed at configure time; editing it re-runs the configure step.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VELMARON_MANPAGE})
  find_program(VELMARON_GZIP gzip)
  mark_as_advanced(VELMARON_GZIP)
  set(manpage_to_install ${VELMARON_MANPAGE})
  if(VELMARON_GZIP)
    set(manpage_gz ${CMAKE_CURRENT_BINARY_DIR}/man/velmaron.1.gz)
    file(MAKE_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/man)
    execute_process(COMMAND ${VELMARON_GZIP} -9 -n -c ${VELMARON_MANPAGE}
                    OUTPUT_FILE ${manpage_gz}
                    RESULT_VARIABLE gzip_result)
    if(gzip_result EQUAL 0)
      set(manpage_to_install ${manpage_gz})
    else()
      message(WARNING "gzip failed (${gzip_result}); installing the manual page uncompressed")
    endif()
  endif()
  install(FILES ${manpage_to_install} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

if(VELMARON_LICENSE AND NOT WIN32)
  # Where Debian looks for a package's licence.
  install(FILES ${VELMARON_LICENSE} DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/velmaron
          RENAME copyright)
elseif(VELMARON_LICENSE)
  install(FILES ${VELMARON_LICENSE} DESTINATION .)
endif()

# ---------------------------------------------------------------- CPack
set(VELMARON_PACKAGE_MAINTAINER "velmaron maintainers <velmaron@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_PACKAGE_NAME velmaron)
set(CPACK_PACKAGE_VENDOR velmaron)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(CPACK_PACKAGE_VERSION_MINOR ${PROJECT_VERSION_MINOR})
set(CPACK_PACKAGE_VERSION_PATCH ${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGE_CONTACT "${VELMARON_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "set directory modification times from their contents or a given time")
# Without this CPack falls back on a generic text of its own.
set(CPACK_PACKAGE_DESCRIPTION
    "velmaron sets the last-write time of a directory, and with /S of every
directory below it, to the time of its oldest (or newest) visible entry, to
the current time, or to a timestamp given on the command line or piped in,
written in the user's locale date-time format. With /S the subdirectories
are settled first, so after copying a photo archive or a project tree the
dates of its folders once again reflect their contents.")
if(VELMARON_LICENSE)
  set(CPACK_RESOURCE_FILE_LICENSE ${VELMARON_LICENSE})
endif()

set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR DEB)
endif()
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build[^/]*/" "__pycache__" "\\\\.pyc$")

# Debian
set(CPACK_DEBIAN_PACKAGE_NAME velmaron)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)            # velmaron_1.4.1_amd64.deb
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VELMARON_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
# The run-time libraries come from dpkg-shlibdeps (package dpkg-dev) when it
# is there; otherwise an explicit list that fits a g++ build on Debian.
find_program(VELMARON_DPKG_SHLIBDEPS dpkg-shlibdeps)
mark_as_advanced(VELMARON_DPKG_SHLIBDEPS)
if(VELMARON_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
else()
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6, libgcc-s1, libstdc++6")
endif()

include(CPack)
