#include "net/TcpEndpoint.h"

#include "platform/Sockets.h"

int TcpEndpoint::OpenListener() {
    if (listener == -1) listener = sockets::OpenListener(bindAddress.c_str(), port, kBacklog);
    return listener == -1 ? 0 : 1;
}

void TcpEndpoint::CloseListener() {
    if (listener == -1) return;
    sockets::Close(listener);
    listener = -1;
}
