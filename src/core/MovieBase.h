#pragma once
// The platform-free half of the movie player. The one player registers itself in
// `moviePlayer` while it exists.
#include <cstdint>

class MovieBase {
public:
    MovieBase();
    virtual ~MovieBase();

    virtual int Init() { return 1; }
    virtual void Update() {}
    virtual int Open(const char* /*path*/) { return 0; }
    virtual void RequestPlay() {}
    virtual void Stop() {}
    virtual void Close() {}
    virtual void Shutdown() {}

    int32_t playing = 0;
};

// The one movie player, or null.
extern MovieBase* moviePlayer;
