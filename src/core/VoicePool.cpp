#include "core/VoicePool.h"

#include <vector>

#include "core/Sound.h"

VoiceNode::VoiceNode(Sound* sound) : sound(sound) {
    sound->voices.push_back(this);
}

VoiceNode::~VoiceNode() {
    std::erase(sound->voices, this);
}

VoicePool::VoicePool(int32_t maximum) : maximum(maximum) {}

// The nodes go with the list; the sounds belong to their makers.
VoicePool::~VoicePool() = default;

void VoicePool::Play(Sound* sound) {
    if (muted || !sound) return;
    for (VoiceNode* node = FirstVoice(); node; node = NextVoice(node)) {
        if (SameSoundEntry(*node->sound, *sound)) {
            node->sound->Play(0);
            ListNode* newest = node;
            PushFront(newest);
            return;
        }
    }
    if (Count() >= maximum) {
        for (ListNode* node = Last(); node; node = Prev(node)) {
            Sound* listed = static_cast<VoiceNode*>(node)->sound;
            if (!listed->IsPlaying()) {
                listed->Stop();
                delete node;
                break;
            }
        }
    }
    if (Count() < maximum) {
        sound->Play(0);
        auto* node = new VoiceNode(sound);
        PushFront(node);
    }
}

void VoicePool::StopSound(Sound* sound) {
    if (muted || !sound) return;
    sound->Stop();
    for (VoiceNode* node = FirstVoice(); node; node = NextVoice(node)) {
        if (node->sound == sound) {
            delete node;
            return;
        }
    }
}

void VoicePool::Stop(Sound* sound) {
    StopSound(sound);
}

void VoicePool::StopAll() {
    if (muted) return;
    for (VoiceNode* node = FirstVoice(); node; node = NextVoice(node))
        node->sound->Stop();
    DeleteAll();
}
