// cKeyedList: ids, names, lookups falling back to the head, assignment and
// destruction of every element exactly once.
#include "base/keyed_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// An element that counts how many of its kind are alive and logs the order
// in which tagged ones die.
struct cCounted {
    static int alive;
    static std::vector<int>* deaths;
    int tag = 0;
    cCounted() { ++alive; }
    explicit cCounted(int t) : tag(t) { ++alive; }
    cCounted(const cCounted& o) : tag(o.tag) { ++alive; }
    cCounted& operator=(const cCounted& o) = default;
    ~cCounted() {
        --alive;
        if (deaths && tag) deaths->push_back(tag);
    }
};
int cCounted::alive = 0;
std::vector<int>* cCounted::deaths = nullptr;

size_t NodeCount(cKeyedList<int>& list) {
    size_t n = 0;
    for (cKeyedList<int>* node = &list; node; node = node->next) ++n;
    return n;
}

}  // namespace

TEST(KeyedList, EmptyListIsAFreeHeadWithIdZero) {
    cKeyedList<int> list;
    EXPECT_TRUE(list.isFree());
    EXPECT_EQ(list.last(), &list);
    EXPECT_TRUE(list.containsId(0));
    EXPECT_FALSE(list.containsId(1));
    EXPECT_EQ(list.findId(0), &list);
    EXPECT_FALSE(list.containsName("a"));
}

TEST(KeyedList, AppendFillsTheHeadThenLinksNodesNumberedFromOne) {
    cKeyedList<int> list;
    EXPECT_EQ(list.append(10, "ten"), 1);
    EXPECT_FALSE(list.isFree());
    EXPECT_EQ(list.id, 1);
    EXPECT_EQ(list.next, nullptr);
    EXPECT_EQ(list.append(20), 1);
    ASSERT_NE(list.next, nullptr);
    EXPECT_EQ(list.next->id, 2);
    EXPECT_EQ(list.next->name, nullptr);
    EXPECT_EQ(list.findId(2)->element, 20);
    EXPECT_EQ(list.last(), list.next);
    EXPECT_FALSE(list.containsId(0));
    EXPECT_STREQ(list.findName("ten")->name, "ten");
}

TEST(KeyedList, AbsentKeysFallBackToTheHead) {
    cKeyedList<int> list;
    list.append(1, "one");
    list.append(2, "two");
    EXPECT_FALSE(list.containsId(7));
    EXPECT_EQ(list.findId(7), &list);
    EXPECT_FALSE(list.containsName("seven"));
    EXPECT_EQ(list.findName("seven"), &list);
}

TEST(KeyedList, FirstMatchFromTheHeadWinsForNamesAndIds) {
    cKeyedList<int> list;
    list.append(1, "same");
    list.append(2, "same");
    list.insert(3, nullptr, 2);  // a second node with id 2
    EXPECT_EQ(list.findName("same"), &list);
    EXPECT_EQ(list.findId(2), list.next);
    EXPECT_EQ(list.findId(2)->element, 2);
    EXPECT_EQ(list.last()->id, 2);
    EXPECT_EQ(list.last()->element, 3);
}

TEST(KeyedList, UnnamedElementsNeverMatchAName) {
    cKeyedList<int> list;
    list.append(1);
    list.append(2);
    EXPECT_FALSE(list.containsName(""));
    EXPECT_EQ(list.name, nullptr);
}

TEST(KeyedList, SetNameKeepsAnOwnCopyAndNullLeavesItAlone) {
    cKeyedList<int> list;
    std::string source = "wheel";
    list.append(1, source.c_str());
    source[0] = 'X';
    EXPECT_STREQ(list.name, "wheel");
    EXPECT_EQ(list.setName(nullptr), 1);
    EXPECT_STREQ(list.name, "wheel");
    EXPECT_EQ(list.setName("axle"), 1);
    EXPECT_STREQ(list.name, "axle");
}

TEST(KeyedList, IdsWrapAfter65535) {
    cKeyedList<int> list;
    for (int i = 0; i < 65535; ++i) list.append(i);
    EXPECT_EQ(list.last()->id, 65535);
    list.append(65535);
    EXPECT_EQ(list.last()->id, 0);
    EXPECT_EQ(list.last()->element, 65535);
    EXPECT_TRUE(list.containsId(0));
    EXPECT_EQ(list.findId(0)->element, 65535);
    list.append(0);
    EXPECT_EQ(list.last()->id, 1);
    EXPECT_EQ(list.findId(1), &list);  // the head still carries the first id 1
}

TEST(KeyedList, LookupsSeeNodesLinkedThroughAnotherNode) {
    cKeyedList<int> list;
    list.append(1);
    list.append(2);
    cKeyedList<int>* second = list.next;
    second->append(3);  // walks from the second node, links after it
    EXPECT_EQ(list.last()->element, 3);
    EXPECT_TRUE(list.containsId(3));
    EXPECT_EQ(list.findId(3)->element, 3);
}

TEST(KeyedList, NodesStayPutWhileTheListGrows) {
    cKeyedList<int> list;
    list.append(1);
    list.append(2);
    int* second = &list.findId(2)->element;
    for (int i = 3; i <= 5000; ++i) list.append(i);
    EXPECT_EQ(second, &list.findId(2)->element);
    EXPECT_EQ(*second, 2);
}

TEST(KeyedList, AssigningThreeNodesToFiveLeavesExactlyTheThree) {
    cCounted::alive = 0;
    {
        cKeyedList<cCounted> five;
        for (int i = 1; i <= 5; ++i) five.append(cCounted(10 + i), "five");
        cKeyedList<cCounted> three;
        for (int i = 1; i <= 3; ++i) three.append(cCounted(i));
        EXPECT_EQ(cCounted::alive, 8);
        five = three;
        EXPECT_EQ(cCounted::alive, 6);
        int n = 0;
        for (cKeyedList<cCounted>* node = &five; node; node = node->next) {
            ++n;
            EXPECT_EQ(node->id, n);
            EXPECT_EQ(node->element.tag, n);
            EXPECT_TRUE(node->used);
        }
        EXPECT_EQ(n, 3);
        EXPECT_STREQ(five.name, "five");  // the source head has no name to give
        EXPECT_FALSE(five.containsId(4));
        EXPECT_EQ(five.last()->element.tag, 3);
        five.append(cCounted(4));
        EXPECT_EQ(five.last()->id, 4);
        three.findId(1)->element.tag = 99;  // the copy is independent
        EXPECT_EQ(five.element.tag, 1);
    }
    EXPECT_EQ(cCounted::alive, 0);
}

TEST(KeyedList, CopyOfAnEmptyListIsEmpty) {
    cKeyedList<int> empty;
    cKeyedList<int> copy(empty);
    EXPECT_TRUE(copy.isFree());
    EXPECT_EQ(copy.next, nullptr);
    copy.append(5);
    EXPECT_EQ(copy.id, 1);
}

TEST(KeyedList, DestructionDestroysEveryElementOnceFromTheTailBack) {
    std::vector<int> deaths;
    cCounted::alive = 0;
    {
        cKeyedList<cCounted> list;
        for (int i = 1; i <= 4; ++i) list.append(cCounted(i), "n");
        cCounted::deaths = &deaths;
    }
    cCounted::deaths = nullptr;
    EXPECT_EQ(cCounted::alive, 0);
    EXPECT_EQ(deaths, (std::vector<int>{4, 3, 2, 1}));
}

TEST(KeyedList, LongListIsDestroyedWithoutDeepRecursion) {
    // A recursive destruction of 65,535 nodes overflows a small stack; run it
    // on a thread whose stack is far smaller than that recursion needs.
    cCounted::alive = 0;
    auto* list = new cKeyedList<cCounted>;
    for (int i = 0; i < 65535; ++i) list->append(cCounted(0));
    EXPECT_EQ(cCounted::alive, 65535 + 0);
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, 256 * 1024);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attributes, [](void* p) -> void* {
        delete static_cast<cKeyedList<cCounted>*>(p);
        return nullptr;
    }, list), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_EQ(cCounted::alive, 0);
}

TEST(KeyedList, WalkByIdFromOneVisitsEveryElementInOrder) {
    cKeyedList<int> list;
    for (int i = 1; i <= 100; ++i) list.append(i * 3);
    int visited = 0;
    for (uint16_t k = 1; list.containsId(k); ++k) {
        EXPECT_EQ(list.findId(k)->element, k * 3);
        ++visited;
    }
    EXPECT_EQ(visited, 100);
    cKeyedList<int> empty;
    EXPECT_FALSE(empty.containsId(1));
    EXPECT_EQ(NodeCount(list), 100u);
}

TEST(KeyedList, AssigningOrCopyingANodeAfterTheHeadLeavesTheHeadsLookupsOnLiveNodes) {
    cKeyedList<int> list;
    for (int i = 1; i <= 4; ++i) list.append(i * 10);
    cKeyedList<int> other;
    other.append(7);
    other.append(8);
    *list.next = other;  // the second node takes other's two elements; the two after it are freed
    EXPECT_EQ(list.last()->element, 8);
    EXPECT_EQ(NodeCount(list), 3u);
    EXPECT_EQ(list.findId(2)->element, 8);
    EXPECT_EQ(list.findId(3), &list);  // id 3 went with the freed nodes
    list.append(9);
    EXPECT_EQ(list.findId(3)->element, 9);

    cKeyedList<int> copy(*list.next);  // a copy of a middle node is a list of its own
    EXPECT_EQ(copy.last()->element, 9);
    *list.next = cKeyedList<int>();  // once more, after the head indexed the nodes again
    EXPECT_EQ(list.last(), list.next);
    EXPECT_EQ(list.findId(3), &list);
    EXPECT_EQ(copy.findId(3)->element, 9);
}
