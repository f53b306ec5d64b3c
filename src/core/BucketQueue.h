#pragma once
// A priority queue of unsigned 32-bit values over small non-negative integer priorities: one
// stack per priority, the lowest non-empty one popped first, the last value pushed at a
// priority first out. Clear keeps the buckets for reuse, so repeated searches do not allocate.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>

#include "core/U32Stack.h"

class BucketQueue {
public:
    explicit BucketQueue(int32_t n);
    BucketQueue(const BucketQueue&) = delete;
    BucketQueue& operator=(const BucketQueue&) = delete;
    virtual ~BucketQueue();

    // 1 when pushed; 0 for a negative priority (or one too large to index), which is refused.
    // Push and Pop are inline: the path search calls them for every cell it opens.
    int Push(uint32_t value, int32_t priority) {
        // A negative priority would index before the array.
        if (priority < 0 || priority == std::numeric_limits<int32_t>::max()) return 0;
        if (priority >= bucketCount) Resize(priority + 1);
        U32Stack& bucket = buckets[priority];
        if (bucket.Capacity() == 0) bucket.Reserve(kBucketCapacity);
        bucket.Push(value);
        lowest = std::min(lowest, priority);
        highest = std::max(highest, priority);
        return 1;
    }
    // The value, or 0 when the queue is empty; Popped tells the two apart.
    uint32_t Pop() {
        popped = 0;
        for (int32_t i = lowest; i < bucketCount; ++i) {
            U32Stack& bucket = buckets[i];
            if (!bucket.IsEmpty()) {
                lowest = i;
                popped = 1;
                return bucket.Pop();
            }
        }
        lowest = bucketCount;
        return 0;
    }
    bool Popped() const { return popped != 0; }
    void Clear();
    // Grows to n buckets; never shrinks.
    void Resize(int32_t n);
    void FreeAll();

    int32_t BucketCount() const { return bucketCount; }
    // The bucket of a priority, null when it was never used.
    const U32Stack* Bucket(int32_t priority) const;

private:
    static constexpr int32_t kBucketCapacity = 10;

    // The stacks themselves, side by side: a push reaches its bucket's array in one step. A
    // bucket never pushed to has no capacity.
    std::unique_ptr<U32Stack[]> buckets;
    int32_t bucketCount = 0;
    int32_t popped = 0;
    int32_t lowest = 0;
    int32_t highest = -1;  // the highest priority pushed since the last Clear
};
