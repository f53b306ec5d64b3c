#include "core/EventReceiver.h"

EventReceiver::~EventReceiver() = default;

void EventReceiver::OnEvent(int32_t, void*, void*) {}
