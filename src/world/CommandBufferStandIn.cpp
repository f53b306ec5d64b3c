#include "world/CommandBufferStandIn.h"

CommandBuffer::CommandBuffer() : area(new uint8_t[kCapacity]()) {
    start = area.get();
    cursor = start;
}
