#include "Base/Strings.h"
#include "Base/StringsLst.h"
#include "Base/TypedStringList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace
{

using vKit::CStringObject;
using vKit::CStringsLst;

std::vector<std::string> Strings(const CStringsLst& list)
{
    std::vector<std::string> out;
    for (int32_t i = 0; i < list.GetCount(); ++i)
        out.push_back(list.GetString(i));
    return out;
}

TEST(StringsLst, SortedInsertionIgnoresCaseAndPutsNewEqualsFirst)
{
    CStringsLst list;
    list.SetSorted(true);
    EXPECT_EQ(list.Add("b", 1, 10), 0);
    EXPECT_EQ(list.Add("A", 2, 20), 0);
    EXPECT_EQ(list.Add("c", 3, 30), 2);
    EXPECT_EQ(Strings(list), (std::vector<std::string>{"A", "b", "c"}));
    EXPECT_EQ(list.GetData1(1), 1);
    EXPECT_EQ(list.GetData2(1), 10);

    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(Strings(list), (std::vector<std::string>{"a", "A", "b", "c"}));

    list.SetUnique(true);
    EXPECT_EQ(list.Add("B"), -1);
    EXPECT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.Add("ab"), 2);
    EXPECT_EQ(Strings(list), (std::vector<std::string>{"a", "A", "ab", "b", "c"}));
}

TEST(StringsLst, SortedInsertionOfManyStringsKeepsOrderAndUniqueness)
{
    std::mt19937 random(7);
    const std::string letters = "aAbB_09z";
    std::vector<std::string> added;
    CStringsLst sorted, unique;
    sorted.SetSorted(true);
    unique.SetSorted(true);
    unique.SetUnique(true);
    for (int i = 0; i < 400; ++i)
    {
        std::string s;
        for (size_t n = 1 + random() % 3; n > 0; --n)
            s += letters[random() % letters.size()];
        added.push_back(s);
        ASSERT_GE(sorted.Add(s), 0);
        unique.Add(s);
    }
    ASSERT_EQ(sorted.GetCount(), 400);
    std::vector<std::string> distinct;
    for (int32_t i = 0; i + 1 < sorted.GetCount(); ++i)
        ASSERT_LE(vKit::CompareNoCase(sorted.GetString(i), sorted.GetString(i + 1)), 0) << i;
    for (int32_t i = 0; i + 1 < unique.GetCount(); ++i)
        ASSERT_LT(vKit::CompareNoCase(unique.GetString(i), unique.GetString(i + 1)), 0) << i;
    // Every string added has a case-insensitive equal in the unique list.
    for (const std::string& s : added)
    {
        const auto eq = [&](const std::string& u) { return vKit::EqualsNoCase(u, s); };
        const std::vector<std::string> u = Strings(unique);
        ASSERT_TRUE(std::any_of(u.begin(), u.end(), eq)) << s;
    }
}

struct EventLog
{
    std::vector<std::string> calls;
    int32_t answer = 1;
    std::string replacement;

    int32_t OkToAdd(const std::string& text, int32_t value)
    {
        calls.push_back("ok:" + text + ":" + std::to_string(value));
        return answer;
    }
    void Filter(CStringObject& entry)
    {
        calls.push_back("filter:" + entry.m_strText);
        entry.m_nData1 = 999; // filters may change only the string that gets stored
        if (!replacement.empty())
            entry.m_strText = replacement;
    }
};

TEST(StringsLst, EventsRefuseOrRewriteBeforeTheStringIsStored)
{
    CStringsLst list;
    list.SetSorted(true);
    list.SetEvents(true);
    // Nobody to accept: every string is refused.
    EXPECT_EQ(list.Add("a"), -1);
    EXPECT_EQ(list.GetCount(), 0);

    EventLog log;
    list.OnOkToAddString.Subscribe(&log, &EventLog::OkToAdd);
    list.OnAddFilter.Subscribe(&log, &EventLog::Filter);
    list.Add("m");
    log.replacement = "a_renamed";
    EXPECT_EQ(list.Add("z", 5, 6), 0);
    EXPECT_EQ(Strings(list), (std::vector<std::string>{"a_renamed", "m"}));
    EXPECT_EQ(list.GetData1(0), 5);
    EXPECT_EQ(list.GetData2(0), 6);

    // A refusal stops before the filter.
    log.answer = 0;
    EXPECT_EQ(list.Add("q"), -1);
    EXPECT_EQ(log.calls, (std::vector<std::string>{"ok:m:0", "filter:m", "ok:z:0", "filter:z", "ok:q:0"}));

    // With events off nobody is asked.
    list.SetEvents(false);
    log.calls.clear();
    EXPECT_EQ(list.Add("q"), 2);
    EXPECT_TRUE(log.calls.empty());
}

TEST(StringsLst, SettersGrowTheListAndMissingEntriesReadEmpty)
{
    CStringsLst list;
    list.SetString(5, "text");
    ASSERT_EQ(list.GetCount(), 6);
    for (int32_t i = 0; i < 5; ++i)
    {
        EXPECT_EQ(list.GetString(i), "");
        EXPECT_EQ(list.GetData1(i), 0);
    }
    EXPECT_EQ(list.GetString(5), "text");
    EXPECT_EQ(list.GetString(6), "");
    EXPECT_EQ(list.GetData1(6), -1);
    EXPECT_EQ(list.GetData2(100), -1);
    list.SetData2(7, 42);
    EXPECT_EQ(list.GetCount(), 8);
    EXPECT_EQ(list.FindData2(42), 7);
    EXPECT_EQ(list.FindData2(43), -1);
    EXPECT_EQ(list.AppendString("last"), 8);
    EXPECT_EQ(list.NumberEntries(), 9);
    EXPECT_EQ(list.GetData1(8), 8);
}

TEST(StringsLst, RemoveAppendAndCopy)
{
    CStringsLst list;
    list.SetSorted(true);
    // Append ignores the sorted flag.
    EXPECT_EQ(list.Append("z", 1, 2), 0);
    EXPECT_EQ(list.Append("a", 3, 4), 1);
    list.AppendMultiString("m\0n\0\0ignored\0");
    EXPECT_EQ(Strings(list), (std::vector<std::string>{"z", "a", "m", "n"}));
    list.RemoveAt(1);
    list.RemoveAt(10);
    EXPECT_EQ(Strings(list), (std::vector<std::string>{"z", "m", "n"}));

    CStringsLst copy;
    copy.Append("first");
    list.CopyTo(copy);
    EXPECT_EQ(Strings(copy), (std::vector<std::string>{"first", "z", "m", "n"}));
    EXPECT_EQ(copy.GetData2(1), 2);
    list.RemoveAll();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(copy.GetString(1), "z");
}

struct Counted : vKit::CBase
{
    static int alive;
    Counted() { ++alive; }
    ~Counted() override { --alive; }
};
int Counted::alive = 0;

TEST(TypedStringList, EntriesOwnTheirObjects)
{
    {
        vKit::CTypedStringList<Counted> list;
        list.Add("a");
        EXPECT_EQ(list.GetObject(0), nullptr);
        list.SetCreateOnDemand(true);
        Counted* first = list.GetObject(0);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(list.GetObject(0), first);
        ASSERT_NE(list.GetObject(3), nullptr); // grows the list
        EXPECT_EQ(list.GetCount(), 4);
        EXPECT_EQ(Counted::alive, 2);
        list.RemoveAt(0);
        EXPECT_EQ(Counted::alive, 1);
        list.SetObject(0, new Counted());
        EXPECT_EQ(Counted::alive, 2);
    }
    EXPECT_EQ(Counted::alive, 0);

    vKit::CLogList log;
    EXPECT_EQ(log.GetCapacity(), 100);
    EXPECT_FALSE(log.IsCreateOnDemand());
}

} // namespace
