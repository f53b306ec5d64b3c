#include "core/IdNode.h"

int32_t IdNode::nextId = 1;

IdNode::IdNode() : id(nextId++) {}
