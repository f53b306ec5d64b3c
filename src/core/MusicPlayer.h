#pragma once
// Switches the background music on and off: by [OPTIONS] MUSIC, by the game mode and around
// a deactivation of the application. Owned by the World.
#include <cstdint>
#include <memory>
#include <string>

class MusicPlaylist;

class MusicPlayer {
public:
    // soundsDirectory: where the music pack "7a0.xsf" lies (the asset volume's sounds
    // directory, ending in a backslash; empty for the working directory).
    explicit MusicPlayer(std::string soundsDirectory = std::string());
    virtual ~MusicPlayer();

    MusicPlayer(const MusicPlayer&) = delete;
    MusicPlayer& operator=(const MusicPlayer&) = delete;

    // On: unless [OPTIONS] MUSIC starts with N or n, and only when the music pack exists and
    // has pieces, starts the music. Off: stops it and forgets the setting.
    void SetEnabled(int on);
    // Deactivation: music off, but the setting is kept for Resume.
    void Suspend();
    void Resume();
    // Once per game tick; always 1.
    int Tick();
    void SetVolume(int32_t percent);

    MusicPlaylist* Playlist() const { return playlist.get(); }
    int32_t IsOn() const { return on; }
    int32_t Setting() const { return setting; }

    // The music pack's name behind the sounds directory.
    static constexpr const char* kPackName = "7a0.xsf";
    static constexpr int32_t kBufferFrames = 88200;  // four seconds at 22050 Hz
    static constexpr int32_t kChunkFrames = 11025;   // half a second

private:
    std::unique_ptr<MusicPlaylist> playlist;
    int32_t on = 0;
    int32_t setting = 0;
    std::string soundsDirectory;
};
