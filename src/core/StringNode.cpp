#include "core/StringNode.h"

#include <cstring>

StringNode::StringNode(const char* initial) {
    SetText(initial);
}

void StringNode::SetText(const char* newText) {
    if (!newText) newText = "";
    const size_t length = strnlen(newText, kCapacity - 1);
    std::memmove(text, newText, length);
    text[length] = '\0';
}
