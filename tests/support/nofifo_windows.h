#ifndef NOFIFO_WINDOWS_H
#define NOFIFO_WINDOWS_H

// Windows keeps no named pipes among its files. The cases that make one (a
// source that would block a reader for ever) skip there before they call
// mkfifo; this declaration only lets them build. Included in the Windows
// build of the tests only.

#include <cerrno>

inline int mkfifo(const char *, int)
{
    errno = ENOSYS;
    return -1;
}

#endif // NOFIFO_WINDOWS_H
