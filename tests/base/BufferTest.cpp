#include "Base/Buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace
{

std::string Used(const vKit::CBuffer& b)
{
    return std::string(reinterpret_cast<const char*>(b.GetData()), static_cast<size_t>(b.GetUsed()));
}

bool AllBytes(const uint8_t* p, int64_t n, uint8_t value)
{
    for (int64_t i = 0; i < n; ++i)
        if (p[i] != value)
            return false;
    return true;
}

TEST(Buffer, AllocateAlignsDataAndResetsCounters)
{
    for (int32_t alignment : {2, 16, 32, 64, 4096, 24})
    {
        vKit::CBuffer b;
        b.SetUserValue(9);
        uint8_t* p = b.Allocate(100, alignment);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % static_cast<uintptr_t>(alignment), 0u) << alignment;
        EXPECT_EQ(b.GetSize(), 100);
        EXPECT_EQ(b.GetUsed(), 0);
        EXPECT_EQ(b.GetUserValue(), 1);
        EXPECT_EQ(b.GetAlignment(), alignment);
        // The whole usable range is ours to write.
        std::memset(p, 0xAB, 100);
    }
    vKit::CBuffer none;
    EXPECT_EQ(none.Allocate(0, 32), nullptr);
    EXPECT_EQ(none.Allocate(-5, 32), nullptr);
    EXPECT_EQ(none.GetSize(), 0);
}

TEST(Buffer, FillCoversAlignmentGapAndFreeResets)
{
    vKit::CBuffer b;
    b.Allocate(10, 64);
    b.Fill(0x5A);
    EXPECT_TRUE(AllBytes(b.GetData(), 10, 0x5A));
    b.SetUsed(4);
    b.SetUserValue(7);
    b.Free();
    EXPECT_EQ(b.GetData(), nullptr);
    EXPECT_EQ(b.GetSize(), 0);
    EXPECT_EQ(b.GetUsed(), 0);
    EXPECT_EQ(b.GetUserValue(), 1);
    b.Fill(1); // no memory: nothing to touch
}

TEST(Buffer, AppendingGrowsByGrowStepWithSpareZeroByte)
{
    vKit::CBuffer one;
    ASSERT_TRUE(one.AppendText("0123456789"));
    EXPECT_EQ(one.GetSize(), 11);
    EXPECT_EQ(one.GetUsed(), 10);
    EXPECT_EQ(one.GetData()[10], 0);

    vKit::CBuffer page;
    page.SetGrowStep(4096);
    ASSERT_TRUE(page.AppendText("0123456789"));
    EXPECT_EQ(page.GetSize(), 4096);
    EXPECT_TRUE(AllBytes(page.GetData() + 10, 4096 - 10, 0));
    // Appending within the room does not grow; reaching the end does, by whole steps.
    page.AppendText(std::string(4085, 'x'));
    EXPECT_EQ(page.GetSize(), 4096);
    page.AppendText("y");
    EXPECT_EQ(page.GetSize(), 8192);
    EXPECT_EQ(page.GetUsed(), 4096);
    EXPECT_EQ(Used(page).substr(0, 10), "0123456789");
}

TEST(Buffer, GrowKeepsContentUsedUserValueAndAlignment)
{
    vKit::CBuffer b;
    b.Allocate(5, 32);
    std::memcpy(b.GetData(), "hello", 5);
    b.SetUsed(5);
    b.SetUserValue(42);
    EXPECT_EQ(b.Grow(0), 1);
    EXPECT_EQ(b.GetSize(), 5);
    EXPECT_EQ(b.Grow(20), 1);
    EXPECT_EQ(b.GetSize(), 25);
    EXPECT_EQ(b.GetUsed(), 5);
    EXPECT_EQ(b.GetUserValue(), 42);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b.GetData()) % 32, 0u);
    EXPECT_EQ(Used(b), "hello");
    EXPECT_TRUE(AllBytes(b.GetData() + 5, 20, 0));
}

TEST(Buffer, AppendLineWritesExactLineEnds)
{
    vKit::CBuffer dos;
    dos.AppendLine("abc");
    EXPECT_EQ(Used(dos), std::string("abc\r\n"));
    dos.AppendLine("");
    EXPECT_EQ(Used(dos), std::string("abc\r\n\r\n"));

    vKit::CBuffer unixEnds;
    unixEnds.SetUnixLineEnds(true);
    unixEnds.AppendLine("abc");
    unixEnds.AppendLine("de");
    EXPECT_EQ(Used(unixEnds), std::string("abc\nde\n"));
    // The text is always NUL-terminated by the zeroed growth.
    EXPECT_EQ(std::strlen(reinterpret_cast<const char*>(unixEnds.GetData())), 7u);
}

TEST(Buffer, AppendNeverWritesPastTheMemory)
{
    // Without a grow step, or with a used count at the very end, appending must still fit.
    vKit::CBuffer noStep;
    noStep.SetGrowStep(0);
    ASSERT_TRUE(noStep.AppendText("abcdef"));
    EXPECT_GE(noStep.GetSize(), 7);
    EXPECT_EQ(Used(noStep), "abcdef");

    vKit::CBuffer full;
    full.Allocate(8, 0);
    full.Fill('z');
    full.SetUsed(8);
    full.SetGrowStep(-3);
    ASSERT_TRUE(full.AppendText("12"));
    EXPECT_EQ(Used(full), "zzzzzzzz12");
    EXPECT_GE(full.GetSize(), 11);
}

TEST(Buffer, SetUsedStaysInsideTheMemory)
{
    vKit::CBuffer b;
    b.Allocate(16);
    b.SetUsed(100);
    EXPECT_EQ(b.GetUsed(), 16);
    b.SetUsed(-1);
    EXPECT_EQ(b.GetUsed(), 0);
}

TEST(Buffer, SetDataKeepsLargerMemoryAndReallocatesSmaller)
{
    vKit::CBuffer b;
    b.Allocate(10, 16);
    std::memcpy(b.GetData(), "0123456789", 10);
    ASSERT_TRUE(b.SetData("ab", 2));
    EXPECT_EQ(b.GetSize(), 10);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b.GetData()), 10), "ab23456789");

    ASSERT_TRUE(b.SetData("ABCDEFGHIJKLMNOPQRST", 20));
    EXPECT_EQ(b.GetSize(), 20);
    EXPECT_EQ(b.GetAlignment(), 16);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b.GetData()) % 16, 0u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b.GetData()), 20), "ABCDEFGHIJKLMNOPQRST");
}

TEST(Buffer, AssignAndCopiesAreDeep)
{
    vKit::CBuffer src;
    src.SetUnixLineEnds(true);
    src.AppendLine("line");
    src.SetUserValue(5);

    vKit::CBuffer dst;
    ASSERT_TRUE(dst.Assign(src));
    EXPECT_NE(dst.GetData(), src.GetData());
    EXPECT_EQ(Used(dst), "line\n");
    EXPECT_EQ(dst.GetUserValue(), 5);
    EXPECT_TRUE(dst.GetUnixLineEnds());
    EXPECT_FALSE(dst.IsExternal());

    vKit::CBuffer copy(src);
    copy.AppendLine("more");
    EXPECT_EQ(Used(src), "line\n");
    EXPECT_EQ(Used(copy), "line\nmore\n");
    copy = copy; // self-assignment keeps the content
    EXPECT_EQ(Used(copy), "line\nmore\n");
    src = copy;
    EXPECT_EQ(Used(src), "line\nmore\n");
}

TEST(Buffer, InitRestoresDefaults)
{
    vKit::CBuffer b;
    b.Allocate(64, 32);
    b.SetGrowStep(100);
    b.SetUnixLineEnds(true);
    b.Init();
    EXPECT_EQ(b.GetAlignment(), 0);
    EXPECT_EQ(b.GetGrowStep(), 1);
    EXPECT_EQ(b.GetSize(), 0);
    EXPECT_FALSE(b.GetUnixLineEnds());
}

TEST(Buffer, HugeAllocationFailsCleanly)
{
    vKit::CBuffer b;
    b.AppendText("keep");
    EXPECT_EQ(b.Grow(int64_t{1} << 62), 0);
    EXPECT_EQ(Used(b), "keep");
    EXPECT_EQ(b.Allocate(int64_t{1} << 62, 32), nullptr);
    EXPECT_EQ(b.GetSize(), 0);
}

TEST(Buffer, ConcurrentAppendsLoseNothing)
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
    ASSERT_EQ(b.GetUsed(), 2 * 2000 * 3);
    const std::string text = Used(b);
    // Each append is whole: runs of one letter come in multiples of three.
    size_t run = 1;
    for (size_t i = 1; i <= text.size(); ++i)
    {
        if (i < text.size() && text[i] == text[i - 1])
            ++run;
        else
        {
            EXPECT_EQ(run % 3, 0u) << "at " << i;
            run = 1;
        }
    }
}

} // namespace
