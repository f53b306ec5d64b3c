// U32Stack and BucketQueue.
#include <gtest/gtest.h>

#include <limits>

#include "core/BucketQueue.h"
#include "core/U32Stack.h"

TEST(U32Stack, CapacityIsAtLeastOneEvenAfterFree) {
    U32Stack stack(0);
    EXPECT_EQ(stack.Capacity(), 1);
    stack.Push(4);
    stack.Push(5);
    EXPECT_EQ(stack.Capacity(), 2);
    stack.Free();
    EXPECT_EQ(stack.Capacity(), 0);
    stack.Push(6);
    EXPECT_EQ(stack.Pop(), 6u);
    U32Stack negative(-5);
    EXPECT_EQ(negative.Capacity(), 1);
}

TEST(BucketQueue, PopsLowestPriorityLastInFirst) {
    // The first priority past the buckets there are grows them by one; the largest priority
    // there is has no bucket past it and is refused.
    BucketQueue edge(3);
    EXPECT_EQ(edge.Push('z', 3), 1);
    EXPECT_EQ(edge.BucketCount(), 4);
    EXPECT_EQ(edge.Push('y', std::numeric_limits<int32_t>::max()), 0);
    EXPECT_EQ(edge.BucketCount(), 4);
    EXPECT_EQ(edge.Pop(), uint32_t{'z'});
    BucketQueue queue(2);
    queue.Push('a', 4);
    queue.Push('b', 2);
    queue.Push('c', 2);
    EXPECT_EQ(queue.BucketCount(), 5);
    EXPECT_EQ(queue.Pop(), uint32_t{'c'});
    EXPECT_EQ(queue.Pop(), uint32_t{'b'});
    EXPECT_EQ(queue.Pop(), uint32_t{'a'});
    EXPECT_TRUE(queue.Popped());
    // Growing for a higher priority keeps what waits below it first in line.
    queue.Push('d', 1);
    queue.Push('e', 9);
    EXPECT_EQ(queue.Pop(), uint32_t{'d'});
    EXPECT_EQ(queue.Pop(), uint32_t{'e'});
    EXPECT_EQ(queue.Pop(), 0u);
    EXPECT_FALSE(queue.Popped());
    // A stored zero is told apart from an empty queue by Popped.
    queue.Push(0, 1);
    EXPECT_EQ(queue.Pop(), 0u);
    EXPECT_TRUE(queue.Popped());
}

TEST(BucketQueue, ClearKeepsTheBuckets) {
    BucketQueue queue(8);
    for (uint32_t i = 0; i < 15; ++i)
        queue.Push(i, 3);
    const U32Stack* bucket = queue.Bucket(3);
    ASSERT_NE(bucket, nullptr);
    queue.Clear();
    EXPECT_EQ(queue.Pop(), 0u);
    EXPECT_FALSE(queue.Popped());
    EXPECT_EQ(queue.Bucket(3), bucket);
    EXPECT_EQ(bucket->Capacity(), 20);
    queue.Push(7, 5);
    queue.Push(8, 3);
    EXPECT_EQ(queue.Pop(), 8u);
    EXPECT_EQ(queue.Pop(), 7u);
    // A clear empties every bucket pushed to, the lowest and the highest and those past the
    // first size, whatever was popped before, and again after a second round.
    for (int round = 0; round < 2; ++round) {
        queue.Push(1, 2);
        queue.Push(2, 6);
        queue.Push(3, 40);
        queue.Push(4, 7);
        EXPECT_EQ(queue.Pop(), 1u);
        queue.Clear();
        EXPECT_EQ(queue.Pop(), 0u);
        EXPECT_FALSE(queue.Popped());
        for (const int32_t priority : {2, 6, 7, 40})
            EXPECT_TRUE(queue.Bucket(priority)->IsEmpty()) << priority;
    }
    queue.Push(9, 1);
    EXPECT_EQ(queue.Pop(), 9u);
}

TEST(BucketQueue, NegativePriorityIsRefusedAndFreeAllEmptiesAndQueueStillWorks) {
    BucketQueue queue(4);
    EXPECT_EQ(queue.Push(1, -1), 0);
    EXPECT_EQ(queue.Pop(), 0u);
    EXPECT_FALSE(queue.Popped());
    // Zero is the first priority, not a refused one.
    EXPECT_EQ(queue.Push(2, 0), 1);
    EXPECT_EQ(queue.Pop(), 2u);
    EXPECT_TRUE(queue.Popped());
    EXPECT_EQ(queue.Push(3, 2), 1);
    queue.FreeAll();
    EXPECT_EQ(queue.BucketCount(), 0);
    EXPECT_EQ(queue.Pop(), 0u);
    queue.Push(9, 6);
    EXPECT_EQ(queue.Pop(), 9u);
}
