#include "core/text/alnum.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using Compare = int (*)(const char*, const char*);

struct Ordered {
    const char* a;
    const char* b;
    int sign;  // of compare(a, b)
};

int sign(int v)
{
    return (v > 0) - (v < 0);
}

// Checks each pair both ways round: a sort callback must be antisymmetric.
void expectOrders(Compare compare, const std::vector<Ordered>& table)
{
    for (const Ordered& row : table) {
        SCOPED_TRACE(std::string(row.a) + " vs " + row.b);
        EXPECT_EQ(sign(compare(row.a, row.b)), row.sign);
        EXPECT_EQ(sign(compare(row.b, row.a)), -row.sign);
    }
}

std::vector<std::string> sorted(std::vector<std::string> names, Compare compare)
{
    std::stable_sort(names.begin(), names.end(),
        [compare](const std::string& a, const std::string& b) { return compare(a.c_str(), b.c_str()) < 0; });
    return names;
}

}  // namespace

TEST(Alnum, CaseSensitiveOrder)
{
    expectOrders(alnumcmp,
        {
            { "R2", "R10", -1 },
            { "R9", "R10", -1 },
            { "R01", "R1", -1 },
            { "R001", "R01", -1 },
            { "R1b", "R01a", 1 },
            { "R1", "R1x", -1 },
            { "", "A", -1 },
            { "R10", "R10", 0 },
            { "", "", 0 },
            { "x-5", "x-10", -1 },
            { "R12", "R105", -1 },
            { "A10B2", "A10B10", -1 },
            { "a", "A", 1 },
            { "R\xe9", "Rz", 1 },  // bytes above 127 compare unsigned
            { "N99999999999999999999", "N100000000000000000000", -1 },  // past 64 bits
            { "N18446744073709551617", "N18446744073709551616", 1 },
        });
    EXPECT_EQ(alnumcmp("R2", "R10"), -1);
    EXPECT_EQ(alnumcmp("b", "a"), 1);
}

TEST(Alnum, CaseInsensitiveOrder)
{
    expectOrders(alnumicmp,
        {
            { "r2", "R10", -1 },
            { "abc", "ABC", 0 },
            { "a_b", "aab", -1 },
            { "R01", "r1", -1 },
            { "Pin10", "pin9", 1 },
            { "[", "a", -1 },
        });
    EXPECT_EQ(alnumicmp("a_b", "aab"), '_' - 'a');
    EXPECT_EQ(alnumicmp("r2", "R10"), -1);
}

TEST(Alnum, ValueOrder)
{
    expectOrders(alnumvalcmp,
        {
            { "1.5V", "1.50V", 0 },
            { "1,5V", "1.50V", 0 },
            { "0,9", "1", -1 },
            { "2.0mA", "2.0uA", -1 },
            { "C1.5n", "C1.25n", 1 },
            { "10k", "9.99k", 1 },
            { "1.2.3", "1.23", 0 },  // later marks are skipped inside the fraction
            { "R2", "R10", -1 },
            { "V1.5A2", "V1.50A10", -1 },  // goes on behind equal numbers
            { "abc", "abd", -1 },
            { "0.000000000000000000001", "0.000000000000000000002", -1 },
        });
    EXPECT_EQ(alnumvalcmp("1.5V", "1.6V"), -1);
}

TEST(Alnum, FileNameOrder)
{
    expectOrders(fnamecmp,
        {
            { "A.TXT", "A1.TXT", -1 },
            { "A", "A.TXT", -1 },
            { "A2.TXT", "A10.TXT", -1 },
            { "A19", "A100", 1 },
            { "A.TXT", "A_B.TXT", -1 },
            { "a.txt", "A.TXT", 1 },
            { "SAME.DSN", "SAME.DSN", 0 },
        });
    expectOrders(fnameicmp,
        {
            { "a.txt", "A.TXT", 0 },
            { "a.TXT", "A1.txt", -1 },
            { "a", "A.TXT", -1 },
            { "a2.txt", "A10.TXT", -1 },
        });
}

TEST(Alnum, SortsAListOfReferences)
{
    const std::vector<std::string> names { "R10", "R2", "r1", "R1", "C3", "R01", "U1A", "U1" };
    EXPECT_EQ(sorted(names, alnumcmp),
        (std::vector<std::string> { "C3", "R01", "R1", "R2", "R10", "U1", "U1A", "r1" }));
    EXPECT_EQ(sorted(names, alnumicmp),
        (std::vector<std::string> { "C3", "R01", "r1", "R1", "R2", "R10", "U1", "U1A" }));
}
