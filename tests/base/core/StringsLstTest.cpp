#include "Base/core/StringsLst.h"
#include "Base/core/Strings.h"
#include "tests/base/core/ListTexts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

namespace
{

using vKit::CStringsLst;
using Texts = std::vector<std::string>;

// Positions come from halving, so equal strings may land on either side of each other; the list
// must stay sorted, the answer must be where the string went, and a unique list keeps the first.
TEST(StringsLst, SortedInsertionKeepsOrderAndUniqueRefusesEquals)
{
    const auto less = [](const std::string& a, const std::string& b)
    { return vKit::CompareNoCase(a, b) < 0; };
    std::set<std::string, decltype(less)> distinct(less);
    std::mt19937 random(7);
    CStringsLst sorted, unique;
    sorted.SetSorted(true);
    unique.SetSorted(true);
    unique.SetUnique(true);
    for (int i = 0; i < 400; ++i)
    {
        std::string s;
        for (size_t n = 1 + random() % 3; n > 0; --n)
            s += "aAbB_09z"[random() % 8];
        ASSERT_EQ(sorted.GetString(sorted.Add(s)), s);
        const bool first = distinct.insert(s).second;
        const int32_t at = unique.Add(s);
        ASSERT_EQ(at < 0, !first) << s;
        ASSERT_EQ(first ? unique.GetString(at) : s, s);
    }
    const Texts all = ListTexts(sorted);
    EXPECT_EQ(all.size(), 400u);
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end(), less));
    EXPECT_EQ(ListTexts(unique), Texts(distinct.begin(), distinct.end()));
}

TEST(StringsLst, SettersGrowTheListAppendIgnoresSortingRemoveAndCopy)
{
    CStringsLst list;
    list.SetString(2, "text");
    list.SetData2(4, 42);
    EXPECT_EQ(ListTexts(list), (Texts{"", "", "text", "", ""}));
    EXPECT_EQ(list.GetData1(1), 0);
    EXPECT_EQ(list.GetData1(5), -1);

    list.RemoveAll();
    list.SetSorted(true);
    list.Append("z", 1, 2);
    list.Append("a");
    list.Append("m");
    list.RemoveAt(1);
    list.RemoveAt(10);
    CStringsLst copy;
    copy.Append("first");
    list.CopyTo(copy);
    EXPECT_EQ(ListTexts(copy), (Texts{"first", "z", "m"}));
    EXPECT_EQ(copy.GetData2(1), 2);
}

} // namespace
