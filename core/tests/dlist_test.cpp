#include "core/containers/dlist.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Node : DLINK_BASE {
    explicit Node(char n)
        : name(n)
    {
    }
    char name;
};

// The names head to tail; checks that the prev links and the tail tell the same order.
std::string names(const DLIST_BASE& list)
{
    std::string forward, backward;
    for (DLINK_BASE* node = list.head; node; node = node->next)
        forward += static_cast<Node*>(node)->name;
    for (DLINK_BASE* node = list.tail; node; node = node->prev)
        backward.insert(backward.begin(), static_cast<Node*>(node)->name);
    EXPECT_EQ(forward, backward) << "next and prev links disagree";
    return forward;
}

} // namespace

TEST(DLIST_BASE, InsertsAtHeadTailAndBeforeANode)
{
    Node a('a'), b('b'), x('x'), y('y'), z('z'), w('w');
    DLIST_BASE list;
    EXPECT_EQ(list.count(), 0);
    list.addtotail(&a);
    list.addtotail(&b);
    list.addbefore(&x, list.head);
    EXPECT_EQ(list.head, &x);
    list.addbefore(&y, nullptr);
    EXPECT_EQ(list.tail, &y);
    list.addbefore(&z, &b);
    list.addtohead(&w);
    EXPECT_EQ(names(list), "wxazby");
    EXPECT_EQ(list.count(), 6);

    DLIST_BASE single;
    single.addtohead(&a);
    EXPECT_EQ(names(single), "a");
}

TEST(DLIST_BASE, RemoveRelinksNeighboursAndEnds)
{
    Node a('a'), b('b'), c('c'), d('d');
    DLIST_BASE list;
    for (Node* n : { &a, &b, &c, &d })
        list.addtotail(n);
    list.remove(&b);
    EXPECT_EQ(names(list), "acd");
    EXPECT_EQ(b.next, &c) << "a removed node keeps its own links";
    list.remove(&a);
    list.remove(&d);
    EXPECT_EQ(names(list), "c");
    list.remove(&c);
    EXPECT_EQ(list.head, nullptr);
    EXPECT_EQ(list.tail, nullptr);
}

TEST(DLIST_BASE, RemovingThroughThePointerKeepsAWalkGoing)
{
    Node a('a'), b('b'), c('c');
    DLIST_BASE list;
    for (Node* n : { &a, &b, &c })
        list.addtotail(n);
    std::string visited;
    for (DLINK_BASE* node = list.head; node; node = node->next) {
        char name = static_cast<Node*>(node)->name;
        visited += name;
        if (name == 'b')
            list.remove(&node);
    }
    EXPECT_EQ(visited, "abc");
    EXPECT_EQ(names(list), "ac");

    DLIST_BASE only;
    only.addtotail(&b);
    DLINK_BASE* node = &b;
    only.remove(&node);
    EXPECT_EQ(only.head, nullptr);
    EXPECT_EQ(node->next, nullptr);
    DLINK_BASE* none = nullptr;
    only.remove(&none);
    EXPECT_EQ(none, nullptr);
}

TEST(DLIST_BASE, ReverseSwapsOrderAndEnds)
{
    Node a('a'), b('b'), c('c');
    DLIST_BASE list;
    list.reverse();
    EXPECT_EQ(list.head, nullptr);
    for (Node* n : { &a, &b, &c })
        list.addtotail(n);
    list.reverse();
    EXPECT_EQ(names(list), "cba");
    EXPECT_EQ(list.head, &c);
    EXPECT_EQ(list.tail, &a);
}
