# Shared part of the two MinGW-w64 toolchain files; ZYK_TRIPLE names the target.
# The win32 thread model: its runtime calls only what every Windows offers, where the posix
# model's thread library would import functions of Windows XP and Vista.
set(CMAKE_C_COMPILER ${ZYK_TRIPLE}-gcc-win32)
set(CMAKE_CXX_COMPILER ${ZYK_TRIPLE}-g++-win32)
set(CMAKE_RC_COMPILER ${ZYK_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ZYK_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
