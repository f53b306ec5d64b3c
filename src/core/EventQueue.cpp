#include "core/EventQueue.h"

EventQueue* eventQueue = nullptr;

EventQueue::EventQueue() {
    eventQueue = this;
}

EventQueue::~EventQueue() {
    if (eventQueue == this) eventQueue = nullptr;
}

void EventQueue::Post(InputKind kind, const Point& position, int32_t param) {
    InputEvent* event = new InputEvent(kind, position, param);
    PushFront(event);
}

std::unique_ptr<InputEvent> EventQueue::Take() {
    // Only Post links nodes into this queue, so every node is an InputEvent.
    return std::unique_ptr<InputEvent>(static_cast<InputEvent*>(PopBack()));
}
