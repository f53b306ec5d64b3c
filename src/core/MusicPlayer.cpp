#include "core/MusicPlayer.h"

#include <utility>

#include "core/MusicPlaylist.h"
#include "core/ResourceFile.h"
#include "core/Settings.h"

MusicPlayer::MusicPlayer(std::string soundsDirectory)
    : soundsDirectory(std::move(soundsDirectory)) {}

MusicPlayer::~MusicPlayer() {
    if (playlist) playlist->Stop();
}

void MusicPlayer::SetEnabled(int enable) {
    const int32_t wanted = enable ? 1 : 0;
    if (wanted == on) return;
    if (!wanted) {
        on = 0;
        setting = 0;
        if (playlist) playlist->Stop();
        playlist.reset();
        return;
    }
    char value[256] = {};
    ReadProfileValue("QX", "OPTIONS", "MUSIC", value, sizeof value);
    if (value[0] == 'N' || value[0] == 'n') return;
    const std::string path = soundsDirectory + kPackName;
    ResourceFile probe;
    probe.plainPath = 1;
    // Without the music pack there is no music, and nothing is said about it.
    if (!probe.Exists(path.c_str())) return;
    auto created = std::make_unique<MusicPlaylist>(path, 0, kBufferFrames, kChunkFrames);
    // A pack without pieces leaves the music off.
    if (created->PieceCount() == 0) return;
    playlist = std::move(created);
    on = 1;
    setting = 1;
    playlist->Play(1);
}

void MusicPlayer::Suspend() {
    const int32_t kept = setting;
    SetEnabled(0);
    setting = kept;
}

void MusicPlayer::Resume() {
    SetEnabled(setting);
}

int MusicPlayer::Tick() {
    if (on == 1 && playlist) playlist->Tick();
    return 1;
}

void MusicPlayer::SetVolume(int32_t percent) {
    if (playlist) playlist->SetVolume(percent);
}
