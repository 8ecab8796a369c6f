# Cross-compiling for 64-bit Windows with Debian's MinGW-w64 compiler, the
# POSIX-threads flavour (std::thread and std::mutex need it). scripts/windows
# passes the Windows Qt and QCustomPlot it built as CMAKE_PREFIX_PATH; only
# those and MinGW's own folder are searched for libraries and packages, so
# nothing of the Linux system's Qt can slip into the Windows program.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZYM_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZYM_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZYM_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZYM_MINGW}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${ZYM_MINGW} ${CMAKE_PREFIX_PATH})
# Programs run on the build machine (moc, uic, rcc, lrelease are Linux
# programs); libraries, headers and packages are the target's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config, too, sees only the target's .pc files (MinGW's own and those
# in CMAKE_PREFIX_PATH), never the Linux system's.
set(ZYM_PKG_CONFIG_LIBDIR /usr/${ZYM_MINGW}/lib/pkgconfig)
foreach(prefix ${CMAKE_PREFIX_PATH})
    list(APPEND ZYM_PKG_CONFIG_LIBDIR ${prefix}/lib/pkgconfig)
endforeach()
string(REPLACE ";" ":" ZYM_PKG_CONFIG_LIBDIR "${ZYM_PKG_CONFIG_LIBDIR}")
set(ENV{PKG_CONFIG_LIBDIR} "${ZYM_PKG_CONFIG_LIBDIR}")
set(ENV{PKG_CONFIG_PATH} "")
