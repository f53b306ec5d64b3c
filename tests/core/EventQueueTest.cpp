#include "core/EventQueue.h"

#include <gtest/gtest.h>

namespace {

// Counts the events destroyed, so ownership can be checked.
int destroyedEvents = 0;

class CountedEvent : public InputEvent {
public:
    CountedEvent() : InputEvent(InputKind::Key, Point(0, 0), 'c') {}
    ~CountedEvent() override { ++destroyedEvents; }
};

}  // namespace

TEST(EventQueue, RegistersItselfWhileItExists) {
    EXPECT_EQ(eventQueue, nullptr);
    {
        EventQueue queue;
        EXPECT_EQ(eventQueue, &queue);
    }
    EXPECT_EQ(eventQueue, nullptr);
}

TEST(EventQueue, EventsComeOutOldestFirst) {
    EventQueue queue;
    queue.Post(InputKind::MouseMove, Point(1, 2), 0);
    queue.Post(InputKind::ButtonDown, Point(3, 4), 'L');
    queue.Post(InputKind::Key, Point(5, 6), 301);
    auto first = queue.Take();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->kind, InputKind::MouseMove);
    EXPECT_EQ(first->position, Point(1, 2));
    auto second = queue.Take();
    EXPECT_EQ(second->kind, InputKind::ButtonDown);
    EXPECT_EQ(second->param, 'L');
    auto third = queue.Take();
    EXPECT_EQ(third->param, 301);
    EXPECT_EQ(queue.Take(), nullptr);
    EXPECT_TRUE(queue.IsEmpty());
}

TEST(EventQueue, TakenEventsBelongToTheTakerAndQueuedOnesToTheQueue) {
    destroyedEvents = 0;
    {
        EventQueue queue;
        InputEvent* first = new CountedEvent();
        InputEvent* second = new CountedEvent();
        queue.PushFront(first);
        queue.PushFront(second);
        {
            auto taken = queue.Take();
            EXPECT_EQ(destroyedEvents, 0);
        }
        EXPECT_EQ(destroyedEvents, 1);
    }
    EXPECT_EQ(destroyedEvents, 2);
}
