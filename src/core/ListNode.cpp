#include "core/ListNode.h"

ListNode::~ListNode() {
    Unlink();
}

void ListNode::InsertAfter(ListNode* p) {
    Unlink();
    next = p->next;
    prev = p;
    if (p->next) p->next->prev = this;
    p->next = this;
}

void ListNode::Unlink() {
    if (prev) prev->next = next;
    if (next) next->prev = prev;
    next = nullptr;
    prev = nullptr;
}
