#pragma once
// Limits how many sound effects play at once and decides which one gives way:
// the newest voice is at the front; a sound from an entry that is already
// listed restarts that voice, and when every voice is taken the oldest finished
// one is dropped.
#include <cstdint>

#include "core/ListNode.h"
#include "core/NodeList.h"

class Sound;

// One voice: refers to a playing Sound, which it does not own. A sound that is destroyed
// takes its voices with it, out of their pools.
class VoiceNode : public ListNode {
public:
    explicit VoiceNode(Sound* sound);
    ~VoiceNode() override;
    Sound* const sound;
};

class VoicePool : public NodeList {
public:
    explicit VoicePool(int32_t maximum);
    ~VoicePool() override;

    void Play(Sound* sound);
    void StopSound(Sound* sound);
    void Stop(Sound* sound);
    void StopAll();
    // While muted the pool neither plays nor stops.
    void SetMuted(int flag) { muted = flag; }

    int32_t maximum;
    int32_t muted = 0;

private:
    VoiceNode* FirstVoice() const { return static_cast<VoiceNode*>(First()); }
    VoiceNode* NextVoice(const VoiceNode* node) const {
        return static_cast<VoiceNode*>(Next(node));
    }
};
