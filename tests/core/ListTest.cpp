// NodeList and its node classes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/IdNode.h"
#include "core/NodeList.h"
#include "core/PtrNode.h"
#include "core/Random.h"
#include "core/StringNode.h"

namespace {
// A node that names itself and counts its destruction.
class TagNode : public ListNode {
public:
    TagNode(int32_t k, std::string tag, int* deaths = nullptr)
        : tag(std::move(tag)), deaths(deaths) {
        key = k;
    }
    ~TagNode() override {
        if (deaths) ++*deaths;
    }
    std::string tag;
    int* deaths;
};

std::vector<std::string> Tags(const NodeList& list) {
    std::vector<std::string> tags;
    for (ListNode* p = list.First(); p; p = list.Next(p))
        tags.push_back(static_cast<TagNode*>(p)->tag);
    return tags;
}
}  // namespace

TEST(NodeList, SortedInsertPlacesEqualKeysByFlag) {
    NodeList after;
    after.InsertSorted(new TagNode(5, "5"), 1);
    after.InsertSorted(new TagNode(3, "3"), 1);
    after.InsertSorted(new TagNode(5, "5B"), 1);
    EXPECT_EQ(Tags(after), (std::vector<std::string>{"3", "5", "5B"}));

    NodeList before;
    before.InsertSorted(new TagNode(5, "5"), 0);
    before.InsertSorted(new TagNode(3, "3"), 0);
    before.InsertSorted(new TagNode(5, "5B"), 0);
    EXPECT_EQ(Tags(before), (std::vector<std::string>{"3", "5B", "5"}));
}

TEST(NodeList, SortedInsertPutsExtremesAtTheEnds) {
    NodeList list;
    list.InsertSorted(new TagNode(0, "0"), 1);
    list.InsertSorted(new TagNode(4, "4"), 1);
    list.InsertSorted(new TagNode(-7, "neg"), 1);
    list.InsertSorted(new TagNode(100, "big"), 0);
    EXPECT_EQ(Tags(list), (std::vector<std::string>{"neg", "0", "4", "big"}));
}

TEST(NodeList, IndexingOutsideTheListIsNull) {
    NodeList list;
    EXPECT_EQ(list.At(0), nullptr);
    EXPECT_EQ(list.PopBack(), nullptr);
    EXPECT_EQ(list.PopFront(), nullptr);
    EXPECT_EQ(list.First(), nullptr);
    list.PushBack(new TagNode(0, "a"));
    list.PushBack(new TagNode(0, "b"));
    EXPECT_EQ(list.At(-1), nullptr);
    EXPECT_EQ(list.At(list.Count()), nullptr);
    EXPECT_EQ(static_cast<TagNode*>(list.At(1))->tag, "b");
    EXPECT_EQ(list.Next(list.Last()), nullptr);
    EXPECT_EQ(list.Prev(list.First()), nullptr);
    EXPECT_EQ(list.Next(nullptr), nullptr);
}

TEST(NodeList, InsertAtClampsToFrontAndEnd) {
    NodeList list;
    list.PushBack(new TagNode(0, "a"));
    list.PushBack(new TagNode(0, "b"));
    list.InsertAt(new TagNode(0, "zero"), 0);
    list.InsertAt(new TagNode(0, "neg"), -3);
    list.InsertAt(new TagNode(0, "far"), 99);
    list.InsertAt(new TagNode(0, "mid"), 2);
    EXPECT_EQ(Tags(list), (std::vector<std::string>{"neg", "zero", "mid", "a", "b", "far"}));
}

TEST(NodeList, PushingANodeOfAnotherListMovesIt) {
    NodeList a;
    NodeList b;
    TagNode* node = new TagNode(1, "x");
    a.PushBack(node);
    b.PushBack(node);
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(b.Count(), 1);
    EXPECT_EQ(a.IndexOf(node), -1);
    EXPECT_EQ(b.IndexOf(node), 0);
}

TEST(NodeList, OwnsItsElementsButNotPoppedOnes) {
    int deaths = 0;
    TagNode* kept = new TagNode(0, "kept", &deaths);
    {
        NodeList list;
        list.PushBack(new TagNode(0, "a", &deaths));
        list.PushBack(new TagNode(0, "b", &deaths));
        list.PushBack(kept);
        EXPECT_EQ(list.PopBack(), kept);
    }
    EXPECT_EQ(deaths, 2);
    delete kept;
    EXPECT_EQ(deaths, 3);
}

TEST(NodeList, DestroyingANodeUnlinksIt) {
    NodeList list;
    list.PushBack(new TagNode(0, "a"));
    TagNode* b = new TagNode(0, "b");
    list.PushBack(b);
    list.PushBack(new TagNode(0, "c"));
    delete b;
    EXPECT_EQ(Tags(list), (std::vector<std::string>{"a", "c"}));
}

TEST(StringNode, LongTextIsCutAt127Characters) {
    const std::string longText(300, 'x');
    StringNode node(longText.c_str());
    EXPECT_EQ(std::string(node.Text()), std::string(127, 'x'));
    node.SetText(nullptr);
    EXPECT_STREQ(node.Text(), "");
    node.SetText("short");
    EXPECT_STREQ(node.Text(), "short");
}

TEST(IdNode, SerialsAreConsecutiveAndNeverReused) {
    auto* a = new IdNode;
    const int32_t first = a->Id();
    delete a;
    IdNode b;
    IdNode c;
    EXPECT_GE(first, 1);
    EXPECT_EQ(b.Id(), first + 1);
    EXPECT_EQ(c.Id(), first + 2);
}
