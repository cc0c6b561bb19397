# Toolchain file: i686, 32-bit (Debian: g++-i686-linux-gnu).
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/linux-gnu-cross.cmake)
