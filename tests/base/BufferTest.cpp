#include "Base/Buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>

namespace
{

std::string Used(const vKit::CBuffer& b)
{
    return std::string(reinterpret_cast<const char*>(b.GetData()), static_cast<size_t>(b.GetUsed()));
}

bool AllZero(const uint8_t* p, int64_t n)
{
    for (int64_t i = 0; i < n; ++i)
        if (p[i] != 0) return false;
    return true;
}

TEST(Buffer, AllocateAlignsAndFillCoversTheGap)
{
    for (int32_t alignment : {16, 32, 4096, 24})
    {
        vKit::CBuffer b;
        b.SetUserValue(9);
        uint8_t* p = b.Allocate(100, alignment);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % static_cast<uintptr_t>(alignment), 0u) << alignment;
        EXPECT_EQ(b.GetSize(), 100);
        EXPECT_EQ(b.GetUserValue(), 1);
        b.Fill(0xAB); // touches the gap too: ASan reports any byte outside the allocation
        EXPECT_EQ(p[99], 0xAB);
    }
    vKit::CBuffer none;
    EXPECT_EQ(none.Allocate(0, 32), nullptr);
    EXPECT_EQ(none.Allocate(-5, 32), nullptr);
    none.Fill(1);
}

TEST(Buffer, AppendingGrowsByGrowStepWithSpareZeroByte)
{
    vKit::CBuffer one;
    ASSERT_TRUE(one.AppendText("0123456789"));
    EXPECT_EQ(one.GetSize(), 11);
    EXPECT_EQ(one.GetData()[10], 0);

    vKit::CBuffer page;
    page.SetGrowStep(4096);
    ASSERT_TRUE(page.AppendText("0123456789"));
    EXPECT_EQ(page.GetSize(), 4096);
    EXPECT_TRUE(AllZero(page.GetData() + 10, 4096 - 10));
    page.AppendText(std::string(4085, 'x'));
    EXPECT_EQ(page.GetSize(), 4096);
    page.AppendText("y"); // reaching the end grows by a whole step
    EXPECT_EQ(page.GetSize(), 8192);
    EXPECT_EQ(Used(page).substr(0, 10), "0123456789");
}

TEST(Buffer, GrowKeepsContentUsedUserValueAndAlignment)
{
    vKit::CBuffer b;
    b.Allocate(5, 32);
    std::memcpy(b.GetData(), "hello", 5);
    b.SetUsed(5);
    b.SetUserValue(42);
    EXPECT_EQ(b.Grow(20), 1);
    EXPECT_EQ(b.GetSize(), 25);
    EXPECT_EQ(b.GetUserValue(), 42);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b.GetData()) % 32, 0u);
    EXPECT_EQ(Used(b), "hello");
    EXPECT_TRUE(AllZero(b.GetData() + 5, 20));

    EXPECT_EQ(b.Grow(int64_t{1} << 62), 0); // refused, content kept
    EXPECT_EQ(Used(b), "hello");
}

TEST(Buffer, AppendLineWritesExactLineEnds)
{
    vKit::CBuffer dos;
    dos.AppendLine("abc");
    EXPECT_EQ(Used(dos), "abc\r\n");
    dos.AppendLine("");
    EXPECT_EQ(Used(dos), "abc\r\n\r\n");

    vKit::CBuffer unixEnds;
    unixEnds.SetUnixLineEnds(true);
    unixEnds.AppendLine("abc");
    unixEnds.AppendLine("de");
    EXPECT_EQ(Used(unixEnds), "abc\nde\n");
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(unixEnds.GetData())), 7u);
}

TEST(Buffer, AppendAndUsedCountNeverReachPastTheMemory)
{
    vKit::CBuffer noStep;
    noStep.SetGrowStep(0);
    ASSERT_TRUE(noStep.AppendText("abcdef"));
    EXPECT_EQ(Used(noStep), "abcdef");

    vKit::CBuffer full;
    full.Allocate(8, 0);
    full.Fill('z');
    full.SetUsed(100);
    EXPECT_EQ(full.GetUsed(), 8);
    full.SetGrowStep(-3);
    ASSERT_TRUE(full.AppendText("12"));
    EXPECT_EQ(Used(full), "zzzzzzzz12");
}

TEST(Buffer, SetDataAssignAndCopies)
{
    vKit::CBuffer b;
    b.Allocate(10, 16);
    std::memcpy(b.GetData(), "0123456789", 10);
    ASSERT_TRUE(b.SetData("ab", 2)); // smaller: size kept, only the start overwritten
    EXPECT_EQ(b.GetSize(), 10);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b.GetData()), 10), "ab23456789");
    ASSERT_TRUE(b.SetData("ABCDEFGHIJKLMNOPQRST", 20)); // larger: new memory, same alignment
    EXPECT_EQ(b.GetSize(), 20);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b.GetData()) % 16, 0u);

    vKit::CBuffer src;
    src.SetUnixLineEnds(true);
    src.AppendLine("line");
    src.SetUserValue(5);
    ASSERT_TRUE(b.Assign(src));
    EXPECT_EQ(Used(b), "line\n");
    EXPECT_EQ(b.GetUserValue(), 5);
    EXPECT_TRUE(b.GetUnixLineEnds());

    vKit::CBuffer copy(src);
    copy.AppendLine("more");
    EXPECT_EQ(Used(src), "line\n");
    copy = copy;
    EXPECT_EQ(Used(copy), "line\nmore\n");
}

TEST(Buffer, ConcurrentAppendsStayWhole)
{
    vKit::CBuffer b;
    b.SetGrowStep(64);
    auto writer = [&b](char c)
    {
        for (int i = 0; i < 2000; ++i)
            b.AppendText(std::string(3, c));
    };
    std::thread t1(writer, 'a'), t2(writer, 'b');
    t1.join();
    t2.join();
    const std::string text = Used(b);
    ASSERT_EQ(text.size(), 12000u);
    for (size_t i = 0; i < text.size(); i += 3)
        EXPECT_TRUE(text[i] == text[i + 1] && text[i] == text[i + 2]) << i;
}

} // namespace
