#pragma once
// The one queue of input events, with the state of the three modifier keys. The window
// procedure adds new events at the front; screens take the oldest from the back. The queue
// registers itself in `eventQueue` while it exists and deletes the events still queued.
#include <cstdint>
#include <memory>

#include "core/InputEvent.h"
#include "core/NodeList.h"

class EventQueue : public NodeList {
public:
    EventQueue();
    ~EventQueue() override;

    // Queues a new event at the front.
    void Post(InputKind kind, const Point& position, int32_t param);
    // The oldest event, now the caller's; null when the queue is empty.
    std::unique_ptr<InputEvent> Take();

    int32_t shiftDown = 0;
    int32_t ctrlDown = 0;
    int32_t altDown = 0;
};

// The one event queue, or null.
extern EventQueue* eventQueue;
