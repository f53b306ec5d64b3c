#include "world/SimIdNode.h"

SimIdNode::~SimIdNode() = default;
