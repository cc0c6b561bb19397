# `make package`: a Debian package and a .tar.gz of the install tree, made by
# CPack from a build of the programs alone. Package dependencies are worked
# out from the installed binaries by dpkg-shlibdeps (Debian: dpkg-dev).
set(CPACK_PACKAGE_NAME ${PROJECT_NAME})
set(CPACK_PACKAGE_VENDOR "The authors of pixtrel, mobrick and zelnor")
# The Maintainer field of the Debian package; a distribution sets its own
# with -DCPACK_PACKAGE_CONTACT="Name <address>".
set(CPACK_PACKAGE_CONTACT "The authors of pixtrel, mobrick and zelnor"
    CACHE STRING "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "screen dumps to GIF, CPC/+3/PCW disks to DSK images, file checksums")
set(CPACK_PACKAGE_DESCRIPTION [=[Three small command-line programs for keeping the data of 8-bit home
computers on a PC. pixtrel turns 6912-byte screen dumps (.scr) into still GIF
images, or into looping two-frame animations of their FLASH cells. mobrick
copies Amstrad CPC, +3 and PCW floppy disks between raw 'dd' dumps and DSK
disk images, both ways, and writes freshly formatted DSK images in five
formats, through a menu on standard input that scripts can drive. zelnor
prints a 16-bit checksum and the length of each file named, so that ROM
images can be told apart by a short number.]=])
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${CMAKE_CURRENT_SOURCE_DIR}/README.md)
# Without dpkg-shlibdeps a Debian package would lack its dependencies, so
# then only the .tar.gz is made.
find_program(DPKG_SHLIBDEPS dpkg-shlibdeps)
if(DPKG_SHLIBDEPS)
  set(CPACK_GENERATOR DEB TGZ)
else()
  set(CPACK_GENERATOR TGZ)
  message(STATUS "dpkg-shlibdeps not found (Debian: dpkg-dev): make package makes the .tar.gz only")
endif()
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION otherosfs)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Debian package installs under /usr; the .tar.gz holds bin/ and share/
# at its top, to be unpacked under any prefix.
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/cpack_per_generator.cmake)

include(CPack)
