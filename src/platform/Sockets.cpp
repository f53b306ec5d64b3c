#include "platform/Sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sockets {

namespace {

void CopyText(const char* text, char* out, int room) {
    if (room <= 0) return;
    std::snprintf(out, static_cast<size_t>(room), "%s", text);
}

int MakeNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0 ? 1 : 0;
}

void SetNoDelay(int fd) {
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
}

// 0 when the text is not a dotted address; any address is fine for an empty text.
int BindTo(int fd, const char* bindAddress, int port) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<uint16_t>(port));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bindAddress && bindAddress[0]) {
        if (!IsDottedAddress(bindAddress)) return 0;
        inet_pton(AF_INET, bindAddress, &local.sin_addr);
    }
    return bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0 ? 1 : 0;
}

}  // namespace

int LastError() {
    return errno;
}

ErrorClass ClassifyError(int error) {
    switch (error) {
        case ECONNRESET:
        case ECONNABORTED:
        case ENOTCONN:
        case ESHUTDOWN:
        case ECONNREFUSED:
        case EPIPE:
        case ENETDOWN:
            return ErrorClass::Lost;
        case EINTR:
        case EAGAIN:
        case EINPROGRESS:
            return ErrorClass::Transient;
        default:
            return ErrorClass::Other;
    }
}

int OpenListener(const char* bindAddress, int port, int backlog) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    if (!MakeNonBlocking(fd) || !BindTo(fd, bindAddress, port) || listen(fd, backlog) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

int Accept(int listener, char* peerText, int room) {
    sockaddr_in peer{};
    socklen_t size = sizeof peer;
    const int fd =
        accept4(listener, reinterpret_cast<sockaddr*>(&peer), &size, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) return -1;
    SetNoDelay(fd);
    FormatAddress(peer.sin_addr.s_addr, peerText, room);
    return fd;
}

int StartConnect(const char* bindAddress, uint32_t address, int port, int& fd) {
    fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        fd = -1;
        return -1;
    }
    SetNoDelay(fd);
    if (bindAddress && bindAddress[0] && !BindTo(fd, bindAddress, 0)) {
        Close(fd);
        fd = -1;
        return -1;
    }
    sockaddr_in remote{};
    remote.sin_family = AF_INET;
    remote.sin_port = htons(static_cast<uint16_t>(port));
    remote.sin_addr.s_addr = address;
    if (connect(fd, reinterpret_cast<sockaddr*>(&remote), sizeof remote) == 0) return 1;
    if (errno == EINPROGRESS || errno == EINTR) return 0;
    Close(fd);
    fd = -1;
    return -1;
}

// Writable alone is no proof on Linux: a refused connection is writable too, with SO_ERROR set.
int ConnectResult(int fd) {
    sockaddr_in peer{};
    socklen_t size = sizeof peer;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) == 0) return 1;
    int error = 0;
    socklen_t length = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) return -1;
    if (error == 0 || error == EINPROGRESS || error == EALREADY || error == EINTR) return 0;
    return -1;
}

long Send(int fd, const void* data, size_t length) {
    const ssize_t n = send(fd, data, length, MSG_NOSIGNAL);
    if (n >= 0) return static_cast<long>(n);
    if (ClassifyError(errno) == ErrorClass::Transient || errno == EWOULDBLOCK) return 0;
    return -1;
}

long Receive(int fd, void* data, size_t length) {
    const ssize_t n = recv(fd, data, length, 0);
    if (n > 0) return static_cast<long>(n);
    // A closed peer makes the socket readable with nothing to read.
    if (n == 0) return -1;
    if (ClassifyError(errno) == ErrorClass::Transient || errno == EWOULDBLOCK) return 0;
    return -1;
}

void Close(int fd) {
    if (fd >= 0) close(fd);
}

int LocalPort(int fd) {
    sockaddr_in local{};
    socklen_t size = sizeof local;
    if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) != 0) return 0;
    return ntohs(local.sin_port);
}

int CanMakeSockets() {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 0;
    close(fd);
    return 1;
}

void SetSendBuffer(int fd, int bytes) {
    setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &bytes, sizeof bytes);
}

int MakePair(int fds[2]) {
    return socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, fds) == 0 ? 1 : 0;
}

int IsDottedAddress(const char* text) {
    if (!text) return 0;
    int parts = 0;
    const char* p = text;
    for (;;) {
        int digits = 0;
        int value = 0;
        while (*p >= '0' && *p <= '9' && digits < 4) {
            value = value * 10 + (*p - '0');
            ++digits;
            ++p;
        }
        if (digits == 0 || digits > 3 || value > 255) return 0;
        ++parts;
        if (*p == '\0') return parts == 4 ? 1 : 0;
        if (*p != '.' || parts == 4) return 0;
        ++p;
    }
}

int Resolve(const char* text, uint32_t& address) {
    address = 0;
    if (!text || !text[0]) return 0;
    in_addr parsed{};
    if (IsDottedAddress(text) && inet_pton(AF_INET, text, &parsed) == 1) {
        address = parsed.s_addr;
        return 1;
    }
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(text, nullptr, &hints, &found) != 0 || !found) return 0;
    address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr;
    freeaddrinfo(found);
    return 1;
}

void FormatAddress(uint32_t address, char* out, int room) {
    in_addr a{};
    a.s_addr = address;
    char text[INET_ADDRSTRLEN] = "?";
    inet_ntop(AF_INET, &a, text, sizeof text);
    CopyText(text, out, room);
}

void HostName(char* out, int room) {
    char name[256] = {};
    if (gethostname(name, sizeof name - 1) != 0 || !name[0]) {
        CopyText("?", out, room);
        return;
    }
    CopyText(name, out, room);
}

void LocalAddress(const char* bindAddress, char* out, int room) {
    if (bindAddress && bindAddress[0]) {
        CopyText(bindAddress, out, room);
        return;
    }
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) == 0) {
        for (ifaddrs* i = list; i; i = i->ifa_next) {
            if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET) continue;
            if (!(i->ifa_flags & IFF_UP) || (i->ifa_flags & IFF_LOOPBACK)) continue;
            FormatAddress(reinterpret_cast<sockaddr_in*>(i->ifa_addr)->sin_addr.s_addr, out, room);
            freeifaddrs(list);
            return;
        }
        freeifaddrs(list);
    }
    HostNameAddress(out, room);
}

void HostNameAddress(char* out, int room) {
    char name[256];
    HostName(name, sizeof name);
    uint32_t address = 0;
    if (name[0] != '?' && Resolve(name, address)) {
        FormatAddress(address, out, room);
        return;
    }
    CopyText("?", out, room);
}

}  // namespace sockets
