#pragma once
// An intrusive doubly linked list between two sentinel nodes. The list owns its elements:
// destroying it, or DeleteAll, destroys them; a node taken out with PopFront or PopBack
// belongs to the caller. Linking a node that sits in another list moves it here.
// Walk it with First/Next or Last/Prev; Count, At and IndexOf are linear walks.
#include <cstdint>

#include "core/ListNode.h"

class NodeList {
public:
    NodeList();
    NodeList(const NodeList&) = delete;
    NodeList& operator=(const NodeList&) = delete;
    virtual ~NodeList();

    bool IsEmpty() const { return head.next == &tail; }
    int32_t Count() const;
    ListNode* First() const;
    ListNode* Last() const;
    // Null at either end, for a null node, or for a node in no list.
    ListNode* Next(const ListNode* node) const;
    ListNode* Prev(const ListNode* node) const;

    // Links the node at the front and clears the caller's pointer: the list owns it now.
    template <class T>
    void PushFront(T*& node) {
        LinkFront(node);
        node = nullptr;
    }
    void PushBack(ListNode* node);
    ListNode* PopFront();
    ListNode* PopBack();
    // Keys ascend from the front. With afterEqual != 0 the node goes after the elements of
    // equal key (first in, first out), with 0 before them.
    void InsertSorted(ListNode* node, int afterEqual);
    // index <= 0: at the front; otherwise after the element at index - 1, or at the end.
    void InsertAt(ListNode* node, int32_t index);
    ListNode* At(int32_t index) const;
    // -1 when the node is not in this list.
    int32_t IndexOf(const ListNode* node) const;
    // A uniformly drawn element (through RandomRange), null when empty.
    ListNode* RandomElement() const;
    void DeleteAll();

private:
    void LinkFront(ListNode* node);

    ListNode head;
    ListNode tail;
};
