// The per-image stages and side outputs through whole conversions: grey decisions, 3D averaging,
// renumbering with a factor, the volume description and carried file times.

#include "Base/Platform.h"
#include "engine/ConversionRig.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace
{

vKit::CColorTable FallingPalette()
{
    vKit::CColorTable table(256);
    for (int32_t i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            table.GetEntries()[4 * i + c] = uint8_t(255 - i);
    return table;
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Samples (full 16 bits) and first palette entry of a written image.
struct Written
{
    uint16_t sample = 0;
    uint8_t firstEntry = 0;
};

Written Load(const std::string& path)
{
    vKit::CFileImageBuffer16 image;
    EXPECT_EQ(image.LoadFile(path), 0) << path;
    Written w;
    if (!image.IsEmpty())
        w.sample = *image.PixelPtr(0, 0);
    if (image.Info().ColorTable().GetCount() > 0)
        w.firstEntry = image.Info().ColorTable().GetEntries()[0];
    return w;
}

struct GreyCase
{
    bool falling; // K: BMP source with a falling palette
    const char* extension;
    bool invertPalette, invertRaw;
    bool reverse, invert; // expected decisions
};

TEST(Stages, DecisionTableRows)
{
    const GreyCase rows[] = {
        {false, "tif", true, false, false, false}, {false, "tif", false, true, false, true},
        {false, "bmp", false, true, false, true},  {false, "bmp", true, false, true, false},
        {true, "tif", false, false, true, true},   {true, "jpg", true, true, false, false},
        {true, "bmp", false, true, false, true},   {true, "bmp", true, false, true, false},
    };
    for (const GreyCase& c : rows)
    {
        CConversionRig rig;
        rig.WriteSource("s", 0, 1);
        rig.Wire(rig.Path("s0000.bmp"), rig.Folder("out") + "/d0000." + c.extension);
        CDatasetConversion& job = rig.Job();
        job.SetSourcePalette(c.falling ? FallingPalette() : vKit::CColorTable(256));
        job.SetInvertPalette(c.invertPalette).SetInvertRawData(c.invertRaw);
        EXPECT_EQ(job.MustReversePalette(), c.reverse) << c.falling << c.extension << c.invertPalette << c.invertRaw;
        EXPECT_EQ(job.MustInvertRawData(), c.invert) << c.falling << c.extension << c.invertPalette << c.invertRaw;
        EXPECT_EQ(job.IsDestinationRangeInverted(), c.invert);
        EXPECT_EQ(job.IsDestinationPaletteFalling(),
                  std::string(c.extension) == "bmp" && (c.falling != c.invertPalette));
    }
}

TEST(Stages, EmptyCopiedPaletteCountsAsFallingForBmpSourceOnly)
{
    CConversionRig rig;
    rig.WriteSource("s", 0, 1);
    rig.Wire(rig.Path("s0000.bmp"), rig.Folder("out") + "/d0000.tif");
    EXPECT_TRUE(rig.Job().MustInvertRawData());
    EXPECT_TRUE(rig.Job().MustReversePalette());
    rig.Job().SetSourcePalette(vKit::CColorTable(256));
    EXPECT_FALSE(rig.Job().MustInvertRawData());
}

TEST(Stages, FallingBmpToTiffComplementsSamplesUnlessInvertRawIsSet)
{
    for (bool invertRaw : {false, true})
    {
        CConversionRig rig;
        rig.WriteSource("s", 0, 1);
        const std::string out = rig.Folder("out");
        rig.Wire(rig.Path("s0000.bmp"), out + "/d0000.tif");
        rig.Job().SetSourcePalette(FallingPalette());
        rig.Job().SetInvertRawData(invertRaw);
        rig.Job().Convert();
        const uint16_t v = uint16_t(SliceValue(0) << 8);
        EXPECT_EQ(Load(out + "/d0000.tif").sample, invertRaw ? v : uint16_t(65535 - v));
    }
}

TEST(Stages, BmpDestinationOptionsActDirectly)
{
    CConversionRig rig;
    rig.WriteSource("s", 0, 1);
    const std::string out = rig.Folder("out");
    rig.Wire(rig.Path("s0000.bmp"), out + "/d0000.bmp");
    rig.Job().SetSourcePalette(vKit::CColorTable(256));
    rig.Job().SetInvertPalette(true);
    rig.Job().Convert();
    const Written w = Load(out + "/d0000.bmp");
    EXPECT_EQ(w.sample >> 8, SliceValue(0));
    EXPECT_EQ(w.firstEntry, 255); // the ramp, reversed

    CConversionRig raw;
    raw.WriteSource("s", 0, 1);
    raw.Wire(raw.Path("s0000.bmp"), raw.Folder("out") + "/d0000.bmp");
    raw.Job().SetSourcePalette(FallingPalette());
    raw.Job().SetInvertRawData(true);
    raw.Job().Convert();
    const Written r = Load(raw.Folder("out") + "/d0000.bmp");
    EXPECT_EQ(r.sample >> 8, 255 - SliceValue(0));
    EXPECT_EQ(r.firstEntry, 0); // palette kept
}

// Slices of three values averaged by 2 in three directions.
class ThreeD : public ::testing::Test
{
protected:
    void Write(int32_t n, uint8_t value)
    {
        WriteImage(SliceName(m_rig.Path(""), "v", n), 4, 4, {value});
    }
    void Run()
    {
        m_rig.Wire(m_rig.Path("v0000.bmp"), m_rig.Folder("out") + "/a0000.bmp");
        m_rig.Job().SetResizeFactor(2).SetResizeQuality(3);
        m_rig.Job().Convert();
    }
    std::vector<uint8_t> Out(int32_t n) { return Rows(SliceName(m_rig.Folder("out"), "a", n)); }

    CConversionRig m_rig;
};

TEST_F(ThreeD, GroupAverageAndLoneLastSlice)
{
    Write(0, 100);
    Write(1, 201);
    Write(2, 77);
    Run();
    // (100 * 256 * 65536 / 2 + 201 * 256 * 65536 / 2) / 65536 = 38528, high byte 150.
    EXPECT_EQ(Out(0), std::vector<uint8_t>(2, 150));
    EXPECT_EQ(Out(1), std::vector<uint8_t>(2, 77));
    EXPECT_EQ(m_rig.Written().size(), 2u);
}

TEST_F(ThreeD, MemberThatFailsToLoadIsLeftOutOfTheSum)
{
    Write(0, 100);
    std::ofstream(m_rig.Path("v0001.bmp")) << "not a bitmap";
    Run();
    EXPECT_EQ(Out(0), std::vector<uint8_t>(2, 50));
    // The broken member is reported, not silently passed over.
    EXPECT_FALSE(m_rig.Job().GetFailedFiles().empty());
}

TEST(Stages, FactorAndShiftFoldSliceNumbers)
{
    CConversionRig rig;
    rig.WriteSource("s", 4, 3);
    const std::string out = rig.Folder("out");
    rig.Wire(rig.Path("s0004.bmp"), out + "/d0000.bmp");
    rig.Job().SetResizeFactor(2).SetResizeQuality(1).SetShift(3);
    rig.Job().Convert();
    EXPECT_EQ(Rows(out + "/d0003.bmp"), std::vector<uint8_t>(2, SliceValue(4)));
    EXPECT_EQ(Rows(out + "/d0004.bmp"), std::vector<uint8_t>(2, SliceValue(5)));
}

std::string VgiOf(const std::vector<std::string>& slices, const char* format, const std::string& prefix)
{
    std::string text = "{volume1}\r\n[representation]\r\ndatatype = unsigned integer\r\nbitsperelement = 8\r\n\r\n";
    for (size_t k = 0; k < slices.size(); ++k)
    {
        text += "[file" + std::to_string(k + 1) + "]\r\n";
        if (format)
            text += std::string("FileFormat = ") + format + "\r\n";
        text += "Name = " + slices[k] + "\r\nPosition = 0 0 " + std::to_string(k) +
                "\r\nDatatype = unsigned integer\r\nBitsPerElement = 8\r\n\r\n";
    }
    return text + "{volumeprimitive1}\r\n[volume]\r\nvolume = volume1\r\n\r\n[description]\r\ntext = " + prefix +
           "\r\n\r\n[geometry]\r\nscale = 1 1 1\r\n";
}

TEST(Stages, VolumeDescriptionListsSlicesInOrderWithConsecutivePositions)
{
    CConversionRig rig;
    rig.WriteSource("s", 0, 3);
    const std::string out = rig.Folder("out");
    rig.Wire(rig.Path("s0000.bmp"), out + "/p_0000.bmp");
    rig.Job().SetGenerateVgi(true);
    rig.Job().Convert();
    EXPECT_EQ(ReadText(out + "/p_.vgi"),
              VgiOf({out + "/p_0000.bmp", out + "/p_0001.bmp", out + "/p_0002.bmp"}, "bmp", "p_"));
    // Written images carry no private block and a default resolution.
    EXPECT_EQ(ReadText(out + "/p_0000.bmp").size(), ReadText(rig.Path("s0000.bmp")).size() - 56);
}

TEST(Stages, VolumeDescriptionOfTiffWithGapsHasNoFormatLines)
{
    CConversionRig rig;
    for (int32_t n : {0, 2, 4})
        WriteImage(SliceName(rig.Path(""), "g", n), 4, 4, {1});
    const std::string out = rig.Folder("out");
    rig.Wire(rig.Path("g0000.bmp"), out + "/t0000.tif");
    rig.Job().SetGenerateVgi(true);
    rig.Job().Convert();
    EXPECT_EQ(ReadText(out + "/t.vgi"), VgiOf({out + "/t0000.tif", out + "/t0002.tif", out + "/t0004.tif"}, nullptr, "t"));
}

class CCancelAfter
{
public:
    CCancelAfter(vKit::CProgressBase& p, int32_t position) : m_p(p), m_position(position)
    {
        m_p.OnProgress.Subscribe(this, &CCancelAfter::On);
    }
    ~CCancelAfter() { m_p.OnProgress.Unsubscribe(this, &CCancelAfter::On); }
    void On(vKit::CProgressInfo info)
    {
        if (info.GetPosition() == m_position && !info.IsFinished())
            m_p.SetCancelRequested(true);
    }

private:
    vKit::CProgressBase& m_p;
    int32_t m_position;
};

TEST(Stages, CancelledRunDescribesOnlySlicesPresentAndKeepsOldLog)
{
    CConversionRig rig;
    rig.WriteSource("s", 0, 4);
    const std::string out = rig.Folder("out");
    std::ofstream(out + "/q.log") << "old log";
    rig.Wire(rig.Path("s0000.bmp"), out + "/q0000.jpg");
    rig.Job().SetGenerateVgi(true);
    // Companions "_cfg", "_dicom", "_spr" are positions 0..2; the cancel lands while slice 0001
    // is handled.
    CCancelAfter cancel(rig.Job().GetProgress(), 4);
    rig.Job().Convert();
    EXPECT_EQ(ReadText(out + "/q.vgi"), VgiOf({out + "/q0000.jpg", out + "/q0001.jpg"}, "jpeg", "q"));
    EXPECT_EQ(ReadText(out + "/q.log"), "old log");
    EXPECT_TRUE(CScratchFolder::Exists(out + "/q_cfg.txt"));
}

TEST(Stages, KeptFileTimesFollowEachSlice)
{
    CConversionRig rig;
    rig.WriteSource("s", 0, 2);
    const int64_t base = 1000000000LL * 1000000000LL;
    for (int32_t n = 0; n < 2; ++n)
    {
        const uint64_t t = vKit::UnixNsToFileTime(base + n * 3600 * 1000000000LL);
        ASSERT_EQ(vKit::PlatformSetFileTimes(SliceName(rig.Path(""), "s", n), t, t), 0);
    }
    const std::string out = rig.Folder("out");
    rig.Wire(rig.Path("s0000.bmp"), out + "/k0000.tif");
    rig.Job().SetKeepFileTime(true);
    rig.Job().Convert();
    for (int32_t n = 0; n < 2; ++n)
    {
        vKit::CPlatformStat st;
        ASSERT_EQ(vKit::PlatformStat(SliceName(out, "k", n, "tif"), st), 0);
        EXPECT_EQ(st.writeNs / 1000000000LL, base / 1000000000LL + n * 3600);
    }
}

} // namespace
