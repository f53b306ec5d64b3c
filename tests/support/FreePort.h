#pragma once
// A port for a test's machines on loopback, from the kernel rather than from the process id,
// which another run on the machine may share.
#include <string>
#include <vector>

#include "platform/Sockets.h"

// A port that the kernel picked free on 127.0.0.1 a moment ago and that each of 127.0.0.2 up
// to 127.0.0.`addresses` could listen on too (the machines of a game each bind their own); 0
// when none could be had.
inline int FreePort(int addresses = 1) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int picked = sockets::OpenListener("127.0.0.1", 0, 1);
        if (picked == -1) return 0;
        const int port = sockets::LocalPort(picked);
        std::vector<int> held{picked};
        bool free = port > 0;
        for (int n = 2; n <= addresses && free; ++n) {
            const int fd = sockets::OpenListener(("127.0.0." + std::to_string(n)).c_str(), port, 1);
            free = fd != -1;
            if (free) held.push_back(fd);
        }
        for (const int fd : held)
            sockets::Close(fd);
        if (free) return port;
    }
    return 0;
}
