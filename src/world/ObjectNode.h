#pragma once
// A node of the World's object lists: it owns one map object, so deleting the node deletes the
// object.
#include <memory>

#include "core/ListNode.h"

class GameObject;

class ObjectNode : public ListNode {
public:
    explicit ObjectNode(std::unique_ptr<GameObject> object);
    ~ObjectNode() override;

    GameObject* Object() const { return object.get(); }
    std::unique_ptr<GameObject> Release();

private:
    std::unique_ptr<GameObject> object;
};
