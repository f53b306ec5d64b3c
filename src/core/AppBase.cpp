#include "core/AppBase.h"

#include "core/AudioFormat.h"

AppBase* application = nullptr;

AppBase::AppBase() {
    application = this;
}

AppBase::~AppBase() {
    if (application == this) application = nullptr;
}

void AppBase::GetAudioFormat(AudioFormat& format) {
    format.bitsPerSample = 16;
    format.channels = 2;
    format.samplesPerSecond = 22050;
}
