#pragma once
// A list node holding a text of at most 127 characters; longer texts are cut.
#include "core/ListNode.h"

class StringNode : public ListNode {
public:
    static constexpr int kCapacity = 128;

    explicit StringNode(const char* initial = "");
    // Copies at most 127 characters and always terminates; null is taken as "".
    void SetText(const char* newText);
    const char* Text() const { return text; }

private:
    char text[kCapacity] = {};
};
