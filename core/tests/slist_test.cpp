#include "core/containers/slist.h"

#include <gtest/gtest.h>

namespace {
struct Item : SLINK_BASE {
    explicit Item(char n)
        : name(n)
    {
    }
    char name;
};
} // namespace

TEST(SLIST_BASE, AppendQueuesInsertStacksGetTakesTheHead)
{
    Item a('a'), b('b'), c('c');
    SLIST_BASE list;
    EXPECT_EQ(list.get(), nullptr);
    list.append(&a);
    list.append(&b);
    list.insert(&c);
    std::string order;
    while (SLINK_BASE* item = list.get())
        order += static_cast<Item*>(item)->name;
    EXPECT_EQ(order, "cab");
    EXPECT_EQ(list.tail, nullptr);
    list.insert(&a);
    list.append(&b);
    EXPECT_EQ(list.get(), &a);
    EXPECT_EQ(list.get(), &b);
    EXPECT_EQ(list.get(), nullptr);
}
