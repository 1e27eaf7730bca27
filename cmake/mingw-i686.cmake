# The shipped build: 32-bit Windows, so that in-process registration can load the
# 32-bit components and WOW64 redirection applies as the program expects.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KIV_MINGW_PREFIX i686-w64-mingw32)
set(KIV_WINE_LOADER wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
