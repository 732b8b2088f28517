#include "core/containers/didx.h"

#include "core/text/alnum.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <strings.h>
#include <vector>

namespace {

void* text(const char* s)
{
    return const_cast<char*>(s);
}

std::vector<std::string> keys(const DIDX& index)
{
    std::vector<std::string> out;
    for (int i = 0; i < index.count; ++i)
        out.emplace_back(index.key(i));
    return out;
}

// A record keyed by its first field, counting its deaths.
struct Part {
    Part(const char* n, int* deathCounter) : name(n), deaths(deathCounter) {}
    ~Part() { ++*deaths; }
    const char* name;
    int* deaths;
};

// Z and A in the locked head, B and C in the sorted body.
struct LockedIndex : ::testing::Test {
    void SetUp() override
    {
        for (const char* k : { "Z", "A" }) {
            index.add(text(k));
            index.locked = index.count;
        }
        index.add(text("C"));
        index.add(text("B"));
        ASSERT_EQ(keys(index), (std::vector<std::string> { "Z", "A", "B", "C" }));
    }
    DIDX index { 0, DIDX::KEEPOLD };
};

}  // namespace

TEST(DIDX, DefaultOrderIsAlphanumeric)
{
    DIDX index;
    EXPECT_EQ(index.step, 100);
    for (const char* k : { "R10", "R2", "R1" })
        index.add(text(k));
    EXPECT_EQ(keys(index), (std::vector<std::string> { "R1", "R2", "R10" }));
    EXPECT_EQ(index.idxn("R10"), 2);
    EXPECT_EQ(index.idxn("R3"), -1);
    EXPECT_EQ(index.idxn(nullptr), -1);
    EXPECT_STREQ(index["R2"], "R2");
    EXPECT_EQ(index[nullptr], nullptr);
    EXPECT_EQ(index.add(nullptr), -1);
    EXPECT_EQ(index.count, 3);
}

TEST(DIDX, InsertionKeepsTheBodySortedAndFindable)
{
    std::mt19937 random(7);
    std::vector<std::string> names;
    for (int i = 0; i < 500; ++i)
        names.push_back(
            std::string(1, static_cast<char>('A' + random() % 5)) + std::to_string(random() % 300));
    DIDX index(0, DIDX::KEEPALL);
    for (const std::string& n : names)
        index.add(text(n.c_str()));
    ASSERT_EQ(index.count, 500);
    for (int i = 1; i < index.count; ++i)
        ASSERT_LE(alnumcmp(index.key(i - 1), index.key(i)), 0) << index.key(i - 1) << " " << index.key(i);
    for (const std::string& n : names)
        EXPECT_STREQ(index[n.c_str()], n.c_str());
}

TEST(DIDX, DuplicateModes)
{
    int deaths = 0;
    Part first("K", &deaths), second("K", &deaths), third("K", &deaths), other("J", &deaths);

    GDIDX<Part> replace(0, DIDX::REPLACE);
    replace.add(&other);
    replace.add(&first);
    EXPECT_EQ(replace.add(&second), 1);
    EXPECT_EQ(replace.ptr(1), &second);
    EXPECT_EQ(replace.count, 2);
    EXPECT_EQ(deaths, 0);  // the replaced item is left to the caller

    GDIDX<Part> keepold(0, DIDX::KEEPOLD);
    keepold.add(&first);
    keepold.add(&other);
    EXPECT_EQ(keepold.add(&second), 1);
    EXPECT_EQ(keepold.ptr(1), &first);
    EXPECT_EQ(keepold.count, 2);

    GDIDX<Part> keepall(0, DIDX::KEEPALL);
    keepall.add(&other);
    EXPECT_EQ(keepall.add(&first), 1);
    EXPECT_EQ(keepall.add(&second), 2);
    EXPECT_EQ(keepall.add(&third), 3);
    EXPECT_EQ(std::vector<Part*>(keepall.begin(), keepall.end()),
        (std::vector<Part*> { &other, &first, &second, &third }));

    int destroyed = 0;
    GDIDX<Part> destroy(0, DIDX::DESTROY);
    Part* old = new Part("K", &destroyed);
    Part* replacement = new Part("K", &destroyed);
    destroy.add(old);
    EXPECT_EQ(destroy.add(replacement), 0);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(destroy.add(replacement), 0);  // the same item again is not destroyed
    EXPECT_EQ(destroyed, 1);
    destroy.zap();
    EXPECT_EQ(destroyed, 2);
    EXPECT_EQ(destroy.count, 0);
}

TEST_F(LockedIndex, HeadIsSearchedLinearlyAndNeverGrows)
{
    EXPECT_EQ(index.add(text("Z")), 0);
    EXPECT_EQ(index.count, 4);
    EXPECT_EQ(index.add(text("B2")), 3);
    EXPECT_EQ(index.add(text("0")), 2);
    EXPECT_EQ(keys(index), (std::vector<std::string> { "Z", "A", "0", "B", "B2", "C" }));
    EXPECT_EQ(index.locked, 2);
    EXPECT_EQ(index.islocked("A"), 1);
    EXPECT_EQ(index.islocked("C"), 0);
    EXPECT_EQ(index.islocked(nullptr), 0);
}

TEST_F(LockedIndex, RemovalKeepsTheHeadCount)
{
    EXPECT_EQ(index.remove(-1), nullptr);
    EXPECT_EQ(index.remove(4), nullptr);
    EXPECT_EQ(index.locked, 2);  // nothing removed, head unchanged
    EXPECT_STREQ(index.remove(0), "Z");
    EXPECT_EQ(index.locked, 1);
    EXPECT_STREQ(index.remove(text("A")), "A");
    EXPECT_EQ(index.locked, 0);
    EXPECT_STREQ(index.remove(text("C")), "C");
    EXPECT_EQ(index.remove(text("Q")), nullptr);
    EXPECT_EQ(index.remove(static_cast<void*>(nullptr)), nullptr);
    EXPECT_EQ(keys(index), (std::vector<std::string> { "B" }));
    index.locked = 1;
    index.remove(0);
    EXPECT_EQ(index.locked, 0);
    index.locked = 1;  // left behind by removals through DPA
    index.zap();
    EXPECT_EQ(index.locked, 0);
}

TEST(DIDX, KeepAllRunsFromTheHeadIntoTheBody)
{
    int deaths = 0;
    Part headK("K", &deaths), bodyK("K", &deaths), extra("K", &deaths), tail("L", &deaths);
    GDIDX<Part> index(0, DIDX::KEEPALL);
    index.add(&headK);
    index.locked = 1;
    index.add(&bodyK);
    index.add(&tail);
    EXPECT_EQ(index.add(&extra), 2);
    EXPECT_EQ(index.ptr(3), &tail);
}

TEST(DIDX, RemoveByItemPrefersThatPointerAmongEqualKeys)
{
    int deaths = 0;
    Part a("K", &deaths), b("K", &deaths), c("K", &deaths), unrelated("K", &deaths);
    GDIDX<Part> index(0, DIDX::KEEPALL);
    for (Part* p : { &a, &b, &c })
        index.add(p);
    EXPECT_EQ(index.remove(&b), &b);
    EXPECT_EQ(std::vector<Part*>(index.begin(), index.end()), (std::vector<Part*> { &a, &c }));
    EXPECT_EQ(index.remove(&unrelated), &a);  // not stored: the first with its key goes
    EXPECT_EQ(index.count, 1);
}

TEST(DIDX, CompareFunctionDecidesOrderAndLookup)
{
    DIDX index(0, DIDX::REPLACE, strcasecmp);
    for (const char* k : { "beta", "ALPHA", "Gamma" })
        index.add(text(k));
    EXPECT_EQ(keys(index), (std::vector<std::string> { "ALPHA", "beta", "Gamma" }));
    EXPECT_EQ(index.idxn("gamma"), 2);
    EXPECT_EQ(index.add(text("Alpha")), 0);
    EXPECT_STREQ(index.key(0), "Alpha");
}

TEST(DIDX, FindPrefix)
{
    DIDX index(0, DIDX::REPLACE, strcmp);
    for (const char* k : { "ABD", "B", "AB", "ABC", "A" })
        index.add(text(k));
    void** first = nullptr;
    int n = -1;
    index.findprefix("AB", &first, &n);
    EXPECT_EQ(first, index.items + 1);
    EXPECT_EQ(n, 3);
    index.findprefix("X", &first, &n);
    EXPECT_EQ(first, index.items + index.count);
    EXPECT_EQ(n, 0);
    index.findprefix(nullptr, &first, &n);
    EXPECT_EQ(first, index.items);
    EXPECT_EQ(n, 5);
}

TEST(DIDX, AddMissingCopiesAbsentStrings)
{
    DIDX first;
    for (const char* k : { "R3", "R1" })
        first.add(text(k));
    DIDX other;
    for (const char* k : { "R3", "R2", "R10" })
        other.add(text(k));
    DIDX index;
    index.addmissing(first);
    index.addmissing(other);
    EXPECT_EQ(keys(index), (std::vector<std::string> { "R1", "R2", "R3", "R10" }));
    EXPECT_NE(index["R2"], other["R2"]);  // copies, owned by the index
    index.zap();
    EXPECT_EQ(index.count, 0);
}

TEST(DIDX, PropertyItemsAreKeyedByNameAndFreedByZap)
{
    GDIDX<PROPITEM> props(0, DIDX::DESTROY, alnumicmp);
    props.add(new PROPITEM("VALUE", "10k"));
    props.add(new PROPITEM("PINSWAP", "1,2", PROPITEM::VALUEINBRACES));
    props.add(new PROPITEM("value", "22k"));
    ASSERT_EQ(props.count, 2);
    EXPECT_STREQ(props["Value"]->value, "22k");
    EXPECT_EQ(props["pinswap"]->flags, PROPITEM::VALUEINBRACES);
    EXPECT_STREQ(props.key(0), "PINSWAP");
    props.zap();
    EXPECT_EQ(props.count, 0);
}
