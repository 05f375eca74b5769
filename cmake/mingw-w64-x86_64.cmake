# Cross-build for 64-bit Windows with the posix thread model of mingw-w64
# (the win32 model has no std::thread / std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_triple x86_64-w64-mingw32)
set(CMAKE_C_COMPILER   ${_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_triple}-g++-posix)
set(CMAKE_RC_COMPILER  ${_triple}-windres)
set(CMAKE_AR           ${_triple}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB       ${_triple}-ranlib CACHE FILEPATH "")

set(CMAKE_FIND_ROOT_PATH /usr/${_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

find_program(_wine wine)
if(_wine)
  # Wine through a script that names the exit status of a program that
  # ended with one (scripts/wine-run.sh).
  get_filename_component(_wine_run ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh ABSOLUTE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${_wine_run})
endif()
