#pragma once
// One keyboard or mouse input as the screens see it. Events live in the EventQueue, which
// owns them until a consumer takes one; the consumer then owns and deletes it.
#include <cstdint>

#include "core/ListNode.h"
#include "core/Point.h"

enum class InputKind : int32_t {
    Key = 1,
    ButtonDown = 3,
    ButtonUp = 4,
    MouseMove = 5,
};

class InputEvent : public ListNode {
public:
    InputEvent(InputKind kind, const Point& position, int32_t param);
    ~InputEvent() override;

    InputKind kind;
    // Where the event happened (the cursor position for key events).
    Point position;
    // The game key code (core/KeyCodes.h) of a key event; 'L' (left or middle) or 'R' for
    // the button events; 0 for a mouse move.
    int32_t param;
};
