#ifndef SOCKETS_WINDOWS_H
#define SOCKETS_WINDOWS_H

// The team server's test stands up small TCP servers of its own on
// 127.0.0.1 with the POSIX socket calls. Winsock has the same calls but for
// a few names and one type, which this maps, so that the cases stay as they
// are on Linux. Included last, in the Windows build only: the macros below
// must not reach any header.

#include <atomic>
#include <thread>
#include <vector>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#include <ws2tcpip.h>

#include <sys/types.h>

// A process has to start Winsock before its first socket; the library that
// connects to PostgreSQL does so itself only when it connects.
inline const bool zymWinsockStarted = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
}();

// The cases keep sockets in ints, as POSIX hands them out. A SOCKET is
// wider, but Windows keeps its handle values within 32 bits, so an int holds
// one; only the poll list, braced from ints, needs a type of its own.
struct ZymPollFd
{
    int fd;
    short events;
    short revents;
};

inline int ZymPoll(ZymPollFd *fds, size_t count, int timeoutMs)
{
    std::vector<WSAPOLLFD> list(count);
    for (size_t i = 0; i < count; ++i)
        list[i] = {SOCKET(fds[i].fd), fds[i].events, 0};
    const int ready = WSAPoll(list.data(), ULONG(count), timeoutMs);
    for (size_t i = 0; i < count; ++i)
        fds[i].revents = list[i].revents;
    return ready;
}

inline int ZymCloseSocket(int socket) { return closesocket(SOCKET(socket)); }

#define pollfd ZymPollFd
#define poll ZymPoll
// A socket is not a C runtime file on Windows: close() would leave it open.
#define close(socket) ZymCloseSocket(socket)
#define SHUT_WR SD_SEND
// Windows raises no signal for a write to a closed connection.
#define MSG_NOSIGNAL 0

#endif // SOCKETS_WINDOWS_H
