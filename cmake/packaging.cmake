# `make package` (scripts/package.sh): a Debian package, made by CPack from a
# build of the programs alone, and a .tar.gz of the install tree. Package
# dependencies are worked out from the installed binaries by dpkg-shlibdeps
# (Debian: dpkg-dev).

# The project's address: the Maintainer of the Debian package (a distribution
# sets its own with -DCPACK_PACKAGE_CONTACT="Name <address>"), the
# Upstream-Contact of its copyright file and the signature of the Debian
# changelog.
set(PROJECT_CONTACT "pixtrel-mobrick-zelnor authors <authors@pixtrel-mobrick-zelnor.example.org>")

# The Debian copyright file, in the machine-readable format, with the holders
# and the license text taken from LICENSE.
file(READ ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE license)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
string(FIND "${license}" "Permission is hereby granted" license_start)
if(NOT license MATCHES "Copyright \\(c\\) ([^\n]+)" OR license_start EQUAL -1)
  message(FATAL_ERROR "LICENSE holds no \"Copyright (c)\" line or no MIT license text")
endif()
set(copyright_holders "${CMAKE_MATCH_1}")
string(SUBSTRING "${license}" ${license_start} -1 license_text)
string(STRIP "${license_text}" license_text)
# A field's continuation lines begin with a space; an empty one is " .".
string(REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REPLACE "\n" "\n " license_text " ${license_text}")
configure_file(${CMAKE_CURRENT_SOURCE_DIR}/packaging/copyright.in ${CMAKE_BINARY_DIR}/copyright @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The Debian changelog, made from CHANGELOG.md.
set(debian_changelog ${CMAKE_BINARY_DIR}/debian/changelog)
add_custom_command(OUTPUT ${debian_changelog}
  COMMAND ${CMAKE_COMMAND} -DCHANGELOG=${CMAKE_CURRENT_SOURCE_DIR}/CHANGELOG.md -DPACKAGE=${PROJECT_NAME}
          -DCONTACT=${PROJECT_CONTACT} -DOUTPUT=${debian_changelog}
          -P ${CMAKE_CURRENT_SOURCE_DIR}/cmake/debian_changelog.cmake
  DEPENDS CHANGELOG.md cmake/debian_changelog.cmake
  VERBATIM)
install_gzipped(${debian_changelog} changelog ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "The authors of pixtrel, mobrick and zelnor")
set(CPACK_PACKAGE_CONTACT "${PROJECT_CONTACT}" CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "screen dumps to GIF, CPC/+3/PCW disks to DSK images, file checksums")
set(CPACK_PACKAGE_DESCRIPTION [=[Three small command-line programs for keeping the data of 8-bit home
computers on a PC. pixtrel turns 6912-byte screen dumps (.scr) into still GIF
images, or into looping two-frame animations of their FLASH cells. mobrick
copies Amstrad CPC, +3 and PCW floppy disks between raw 'dd' dumps and DSK
disk images, both ways, and writes freshly formatted DSK images, through a
menu on standard input that scripts can drive. zelnor
prints a 16-bit checksum and the length of each file named, so that ROM
images can be told apart by a short number.]=])
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${CMAKE_CURRENT_SOURCE_DIR}/README.md)
# The .tar.gz is made by scripts/package.sh, in name order.
set(CPACK_GENERATOR DEB)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
# CPack installs the one component of all install rules by its name, so that
# its install writes install_manifest_Unspecified.txt and leaves
# install_manifest.txt, which `make uninstall` reads, to `make install`.
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};Unspecified;/")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION otherosfs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

include(CPack)
