#include "Base/core/Buffer.h"

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

bool Aligned(const vKit::CBuffer& b, uintptr_t alignment)
{
    return reinterpret_cast<uintptr_t>(b.GetData()) % alignment == 0;
}

TEST(Buffer, AllocateAlignsAndGrowKeepsContentAndAlignment)
{
    for (int32_t alignment : {16, 32, 4096, 24})
    {
        vKit::CBuffer b;
        ASSERT_NE(b.Allocate(100, alignment), nullptr);
        EXPECT_TRUE(Aligned(b, uintptr_t(alignment))) << alignment;
        b.Fill(0xAB); // touches the gap too: ASan reports any byte outside the allocation
        EXPECT_EQ(b.GetData()[99], 0xAB);
    }
    vKit::CBuffer b;
    EXPECT_EQ(b.Allocate(-5, 32), nullptr);
    b.Allocate(5, 32);
    std::memcpy(b.GetData(), "hello", 5);
    b.SetUsed(5);
    EXPECT_EQ(b.Grow(20), 1);
    EXPECT_TRUE(Aligned(b, 32));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b.GetData()), 25), "hello" + std::string(20, '\0'));
    EXPECT_EQ(b.Grow(int64_t{1} << 62), 0); // refused, content kept
    EXPECT_EQ(Used(b), "hello");
}

TEST(Buffer, AppendingGrowsByGrowStepWithSpareZeroByteAndExactLineEnds)
{
    vKit::CBuffer one;
    ASSERT_TRUE(one.AppendText("0123456789"));
    EXPECT_EQ(one.GetSize(), 11);
    EXPECT_EQ(one.GetData()[10], 0);

    vKit::CBuffer page;
    page.SetGrowStep(4096);
    page.AppendText("0123456789");
    EXPECT_EQ(page.GetSize(), 4096);
    page.AppendText(std::string(4085, 'x'));
    EXPECT_EQ(page.GetSize(), 4096);
    page.AppendText("y"); // reaching the end grows by a whole step
    EXPECT_EQ(page.GetSize(), 8192);
    EXPECT_EQ(page.GetData()[4096], 0);

    // A used count past the memory is cut to it.
    vKit::CBuffer full;
    full.Allocate(8, 0);
    full.Fill('z');
    full.SetUsed(100);
    ASSERT_TRUE(full.AppendText("12"));
    EXPECT_EQ(Used(full), "zzzzzzzz12");

    // Lines end exactly as asked.
    vKit::CBuffer dos;
    dos.AppendLine("abc");
    dos.AppendLine("");
    EXPECT_EQ(Used(dos), "abc\r\n\r\n");

    vKit::CBuffer unixEnds;
    unixEnds.SetUnixLineEnds(true);
    unixEnds.AppendLine("abc");
    unixEnds.AppendLine("de");
    EXPECT_EQ(Used(unixEnds), "abc\nde\n");
}

TEST(Buffer, SetDataAssignAndCopies)
{
    vKit::CBuffer b;
    b.Allocate(10, 16);
    std::memcpy(b.GetData(), "0123456789", 10);
    ASSERT_TRUE(b.SetData("ab", 2)); // smaller: size kept, only the start overwritten
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b.GetData()), size_t(b.GetSize())), "ab23456789");
    ASSERT_TRUE(b.SetData("ABCDEFGHIJKLMNOPQRST", 20)); // larger: new memory, same alignment
    EXPECT_TRUE(Aligned(b, 16));

    vKit::CBuffer src;
    src.SetUnixLineEnds(true);
    src.AppendLine("line");
    ASSERT_TRUE(b.Assign(src));
    vKit::CBuffer copy(b);
    copy.AppendLine("more");
    copy = copy;
    EXPECT_EQ(Used(copy), "line\nmore\n");
    EXPECT_EQ(Used(b), "line\n");
}

// Appends from two threads, as the file worker and its owner make them, never interleave.
TEST(Buffer, AppendsFromTwoThreadsStayWhole)
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
        ASSERT_TRUE(text[i] == text[i + 1] && text[i] == text[i + 2]) << i;
}

} // namespace
