#pragma once
// IPv4 stream sockets for the network links, every one non-blocking: the game has one thread
// and never waits on the network. These calls only translate; the link decides what a result
// means. A socket is a descriptor (0 is a valid one); -1 means none.
#include <cstddef>
#include <cstdint>

namespace sockets {

// What a failed call means for the connection.
enum class ErrorClass { Other = 0, Lost = 1, Transient = 3 };

// The error of the last failed call on this thread, sorted.
ErrorClass ClassifyError(int error);
int LastError();

// A listening socket on address:port (a null or empty address: every local address), with
// SO_REUSEADDR so a restarted game can listen while old connections linger; -1 on failure.
int OpenListener(const char* bindAddress, int port, int backlog);
// A waiting connection, made non-blocking with TCP_NODELAY; its dotted peer address goes into
// peerText. -1 when none waits (or the accept failed).
int Accept(int listener, char* peerText, int room);

// Starts a connection to the address (network order) and port from a socket bound to
// bindAddress:0 when one is given. fd receives the socket; the result is 1 when already
// connected, 0 while pending, -1 on failure (fd is then -1).
int StartConnect(const char* bindAddress, uint32_t address, int port, int& fd);
// Polls a pending connection: 1 connected, 0 still pending, -1 failed (refused, unreachable).
int ConnectResult(int fd);

// Bytes written (possibly fewer than asked, possibly 0 when the socket takes none now), or -1
// when the connection is gone. Never raises SIGPIPE.
long Send(int fd, const void* data, size_t length);
// Bytes read (above 0), 0 when none wait now, or -1 when the connection is gone (the peer
// closed it or it failed).
long Receive(int fd, void* data, size_t length);
void Close(int fd);

// The port a socket is bound to; 0 when unknown.
int LocalPort(int fd);
// 1 when a stream socket can be made at all.
int CanMakeSockets();
// Sets the kernel's send buffer (tests use a tiny one to force partial writes).
void SetSendBuffer(int fd, int bytes);
// A connected pair of local stream sockets, both non-blocking; 0 on failure.
int MakePair(int fds[2]);

// 1 when the text is a dotted IPv4 address (four numbers 0 .. 255, nothing else).
int IsDottedAddress(const char* text);
// A dotted address as it is, else the first IPv4 address the name resolves to; 0 when none.
int Resolve(const char* text, uint32_t& address);
// The dotted form of an address in network order.
void FormatAddress(uint32_t address, char* out, int room);
// This machine's name ("?" when unknown).
void HostName(char* out, int room);
// The dotted address this machine's name resolves to, "?" when it resolves to none.
void HostNameAddress(char* out, int room);
// The address peers reach this machine by: bindAddress when given, else the first
// non-loopback IPv4 address of an interface that is up, else the host name's, else "?".
void LocalAddress(const char* bindAddress, char* out, int room);

}  // namespace sockets
