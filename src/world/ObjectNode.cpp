#include "world/ObjectNode.h"

#include "core/Point.h"
#include "map/PathGrid.h"
#include "objects/GameObject.h"
#include "objects/ObjectWorld.h"

ObjectNode::ObjectNode(std::unique_ptr<GameObject> object) : object(std::move(object)) {}

// Unlinked before the object goes, so no list ever holds a node of a half-destroyed object.
// The path grid forgets the object first: a dead object must not stay an occupant of the
// cells it stood on (clearing is harmless when it already left them).
ObjectNode::~ObjectNode() {
    Unlink();
    if (!object) return;
    if (PathGrid* grid = TheObjectWorld().Paths()) grid->RemoveFootprint(object.get(), Point(), 0);
    object.reset();
}

std::unique_ptr<GameObject> ObjectNode::Release() {
    return std::move(object);
}
