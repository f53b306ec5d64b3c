#include "world/ObjectNode.h"

#include "objects/GameObject.h"

ObjectNode::ObjectNode(std::unique_ptr<GameObject> object) : object(std::move(object)) {}

// Unlinked before the object goes, so no list ever holds a node of a half-destroyed object.
ObjectNode::~ObjectNode() {
    Unlink();
    object.reset();
}

std::unique_ptr<GameObject> ObjectNode::Release() {
    return std::move(object);
}
