#include "core/NodeList.h"

#include "core/Random.h"

NodeList::NodeList() {
    head.next = &tail;
    tail.prev = &head;
}

NodeList::~NodeList() {
    DeleteAll();
    // Detach the sentinels from each other so their own destructors have nothing to join.
    head.next = nullptr;
    tail.prev = nullptr;
}

int32_t NodeList::Count() const {
    int32_t n = 0;
    for (const ListNode* p = head.next; p != &tail; p = p->next)
        ++n;
    return n;
}

ListNode* NodeList::First() const {
    return IsEmpty() ? nullptr : head.next;
}

ListNode* NodeList::Last() const {
    return IsEmpty() ? nullptr : tail.prev;
}

ListNode* NodeList::Next(const ListNode* node) const {
    if (!node || !node->next || node->next == &tail || node == &tail) return nullptr;
    return node->next;
}

ListNode* NodeList::Prev(const ListNode* node) const {
    if (!node || !node->prev || node->prev == &head || node == &head) return nullptr;
    return node->prev;
}

void NodeList::LinkFront(ListNode* node) {
    if (node) node->InsertAfter(&head);
}

void NodeList::PushBack(ListNode* node) {
    if (!node) return;
    node->Unlink();
    node->InsertAfter(tail.prev);
}

ListNode* NodeList::PopFront() {
    ListNode* node = First();
    if (node) node->Unlink();
    return node;
}

ListNode* NodeList::PopBack() {
    ListNode* node = Last();
    if (node) node->Unlink();
    return node;
}

void NodeList::InsertSorted(ListNode* node, int afterEqual) {
    if (!node) return;
    node->Unlink();
    ListNode* p = head.next;
    while (p != &tail && (afterEqual ? p->key <= node->key : p->key < node->key))
        p = p->next;
    node->InsertAfter(p->prev);
}

void NodeList::InsertAt(ListNode* node, int32_t index) {
    if (!node) return;
    node->Unlink();
    if (index <= 0) {
        node->InsertAfter(&head);
        return;
    }
    ListNode* before = At(index - 1);
    node->InsertAfter(before ? before : tail.prev);
}

ListNode* NodeList::At(int32_t index) const {
    if (index < 0) return nullptr;
    ListNode* p = head.next;
    for (int32_t i = 0; p != &tail; ++i, p = p->next) {
        if (i == index) return p;
    }
    return nullptr;
}

int32_t NodeList::IndexOf(const ListNode* node) const {
    int32_t i = 0;
    for (const ListNode* p = head.next; p != &tail; p = p->next, ++i) {
        if (p == node) return i;
    }
    return -1;
}

ListNode* NodeList::RandomElement() const {
    if (IsEmpty()) return nullptr;
    return At(RandomRange(0, Count() - 1));
}

void NodeList::DeleteAll() {
    while (ListNode* node = PopFront())
        delete node;
}
