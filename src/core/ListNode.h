#pragma once
// An element of an intrusive doubly linked list (NodeList), with an integer sort key.
// A node sits in at most one list; destroying it unlinks it first.
#include <cstdint>

class NodeList;

class ListNode {
public:
    ListNode() = default;
    ListNode(const ListNode&) = delete;
    ListNode& operator=(const ListNode&) = delete;
    virtual ~ListNode();

    // Unlinks this node from wherever it is, then links it directly after p.
    void InsertAfter(ListNode* p);
    // Joins the neighbours; harmless on an unlinked node.
    void Unlink();
    bool IsLinked() const { return next != nullptr; }

    int32_t key = 0;

private:
    friend class NodeList;
    ListNode* next = nullptr;
    ListNode* prev = nullptr;
};
