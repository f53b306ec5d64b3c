#include "core/InputEvent.h"

InputEvent::InputEvent(InputKind kind, const Point& position, int32_t param)
    : kind(kind), position(position), param(param) {}

InputEvent::~InputEvent() = default;
