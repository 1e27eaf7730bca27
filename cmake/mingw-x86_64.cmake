# A 64-bit build of the same sources, for running the Windows suites under wine on hosts
# that cannot execute 32-bit code (and so cannot run 32-bit wine).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(KIV_MINGW_PREFIX x86_64-w64-mingw32)
find_program(KIV_WINE_LOADER wine64 PATHS /usr/lib/wine /usr/lib64/wine NO_DEFAULT_PATH)
if(NOT KIV_WINE_LOADER)
  set(KIV_WINE_LOADER wine64)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
