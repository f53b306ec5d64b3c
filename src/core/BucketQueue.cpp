#include "core/BucketQueue.h"

#include <utility>

BucketQueue::BucketQueue(int32_t n) {
    Resize(n);
}

BucketQueue::~BucketQueue() {
    FreeAll();
}

void BucketQueue::Clear() {
    // Only the buckets pushed to since the last clear can hold values: a search touches a few
    // dozen of the thousands a long route needs.
    for (int32_t i = lowest; i <= highest; ++i) {
        buckets[i].Clear();
    }
    lowest = bucketCount;
    highest = -1;
}

void BucketQueue::Resize(int32_t n) {
    if (n <= bucketCount) return;
    auto grown = std::make_unique<U32Stack[]>(static_cast<size_t>(n));
    for (int32_t i = 0; i < bucketCount; ++i)
        grown[i] = std::move(buckets[i]);
    buckets = std::move(grown);
    if (lowest == bucketCount) lowest = n;
    bucketCount = n;
}

void BucketQueue::FreeAll() {
    buckets.reset();
    bucketCount = 0;
    lowest = 0;
    highest = -1;
}

const U32Stack* BucketQueue::Bucket(int32_t priority) const {
    if (priority < 0 || priority >= bucketCount) return nullptr;
    return buckets[priority].Capacity() == 0 ? nullptr : &buckets[priority];
}
