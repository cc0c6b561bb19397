# Toolchain file: s390x, big-endian and 64-bit (Debian: g++-s390x-linux-gnu).
set(CMAKE_SYSTEM_PROCESSOR s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-gnu-cross.cmake)
