# Cross-compiling for Windows with Debian's MinGW-w64, for the target that the including
# toolchain file names in TAVI_MINGW_PREFIX and CMAKE_SYSTEM_PROCESSOR.
set(CMAKE_SYSTEM_NAME Windows)
# The posix thread model: GoogleTest (for the Windows tests) needs std::mutex.
set(CMAKE_C_COMPILER ${TAVI_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVI_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVI_MINGW_PREFIX}-windres)
set(TAVI_WIDL ${TAVI_MINGW_PREFIX}-widl)
set(CMAKE_FIND_ROOT_PATH /usr/${TAVI_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
