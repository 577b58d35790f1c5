// The per-image stages and side outputs through whole conversions: grey decisions, 3D averaging,
// renumbering with a factor and the volume description.

#include "engine/ConversionRig.h"

#include <gtest/gtest.h>

#include <tuple>

namespace
{

vKit::CColorTable FallingPalette()
{
    vKit::CColorTable table(256);
    for (int32_t i = 0; i < 4 * 256; ++i)
        table.GetEntries()[i] = uint8_t(i % 4 == 3 ? 0 : 255 - i / 4);
    return table;
}

// Every row of the decision table, through a whole conversion: the source slice holds 10 under a
// rising palette in its own file; the palette the job is told decides.
TEST(Stages, DecisionTableRows)
{
    struct
    {
        bool falling; // BMP source with a falling palette
        const char* extension;
        bool invertPalette, invertRaw;
        bool reverse, invert; // expected decisions
    } const rows[] = {
        {false, "tif", true, false, false, false}, {false, "tif", false, true, false, true},
        {false, "bmp", false, true, false, true},  {false, "bmp", true, false, true, false},
        {true, "tif", false, false, true, true},   {true, "jpg", true, true, false, false},
        {true, "bmp", false, true, false, true},   {true, "bmp", true, false, true, false},
    };
    for (const auto& c : rows)
    {
        const std::string row = "row " + std::to_string(&c - rows);
        CConversionRig rig;
        const std::string out =
            rig.Start("s", 0, 1, std::string("d0000.") + c.extension) + "/d0000." + c.extension;
        CDatasetConversion& job = rig.Job();
        // A job told no palette has an empty copied one, which counts as falling (the TIFF row).
        if (!c.falling || std::string(c.extension) != "tif")
            job.SetSourcePalette(c.falling ? FallingPalette() : vKit::CColorTable(256));
        job.SetInvertPalette(c.invertPalette).SetInvertRawData(c.invertRaw);
        EXPECT_EQ(job.MustReversePalette(), c.reverse) << row;
        EXPECT_EQ(job.MustInvertRawData(), c.invert) << row;
        job.Convert();
        const std::vector<uint8_t> rows = Rows(out);
        EXPECT_NEAR(rows.empty() ? -1 : rows[0], c.invert ? 255 - SliceValue(0) : SliceValue(0), 1) << row;
        // The first palette entry of a BMP without a private block.
        EXPECT_TRUE(std::string(c.extension) != "bmp" ||
                    uint8_t(CScratchFolder::Read(out)[54]) == (c.reverse ? 255 : 0))
            << row;
    }
}

// Slices of one value each, averaged by 2 in three directions.
std::vector<std::vector<uint8_t>> ThreeD(CConversionRig& rig, std::initializer_list<int32_t> values,
                                         int32_t factor = 2)
{
    // -1 is a file that does not load, -2 a slice of another size.
    int32_t n = 0;
    for (int32_t v : values)
        if (v == -1)
            rig.Scratch().Write("v000" + std::to_string(n++) + ".bmp", "not a bitmap");
        else
            WriteImage(SliceName(rig.Path(""), "v", n++), v == -2 ? 8 : 4, v == -2 ? 8 : 4, {uint8_t(v)});
    rig.Wire(rig.Path("v0000.bmp"), rig.Folder("out") + "/a0000.bmp");
    rig.Job().SetResizeFactor(factor).SetResizeQuality(3);
    rig.Job().Convert();
    return {Rows(SliceName(rig.Path("out"), "a", 0)), Rows(SliceName(rig.Path("out"), "a", 1))};
}

TEST(Stages, ThreeDGroupAverageLoneLastSliceAndMemberThatFailsToLoad)
{
    CConversionRig rig;
    // (100 * 256 * 65536 / 2 + 201 * 256 * 65536 / 2) / 65536 = 38528, high byte 150; a group of
    // one slice is its 2D reduction.
    EXPECT_EQ(ThreeD(rig, {100, 201, 77}), (std::vector<std::vector<uint8_t>>{{150, 150}, {77, 77}}));
    EXPECT_EQ(rig.Written().size(), 2u);

    // A member that does not load, or has another size, is left out and is a failed read: the
    // average is over the members summed, thirds of 100, 201 and 50, each truncated, give 116 (a
    // division by four gave 87).
    for (const int32_t left : {-1, -2})
    {
        CConversionRig broken;
        EXPECT_EQ(ThreeD(broken, {100, 201, left, 50}, 4)[0], std::vector<uint8_t>{116}) << left;
        EXPECT_EQ(broken.FailedPaths(), Names{"read " + broken.Path("v0002.bmp")});
    }
}

TEST(Stages, FactorAndShiftFoldSliceNumbers)
{
    CConversionRig rig;
    const std::string out = rig.Start("s", 4, 3, "d0000.bmp");
    rig.Job().SetResizeFactor(2).SetResizeQuality(1).SetShift(3);
    rig.Job().Convert();
    EXPECT_EQ(Rows(out + "/d0003.bmp"), std::vector<uint8_t>(2, SliceValue(4)));
    EXPECT_EQ(Rows(out + "/d0004.bmp"), std::vector<uint8_t>(2, SliceValue(5)));
}

std::string VgiOf(const std::vector<std::string>& slices, const char* format, const std::string& prefix)
{
    std::string text =
        "{volume1}\r\n[representation]\r\ndatatype = unsigned integer\r\nbitsperelement = 8\r\n\r\n";
    for (size_t k = 0; k < slices.size(); ++k)
    {
        text += "[file" + std::to_string(k + 1) + "]\r\n";
        if (format) text += std::string("FileFormat = ") + format + "\r\n";
        text += "Name = " + slices[k] + "\r\nPosition = 0 0 " + std::to_string(k) +
                "\r\nDatatype = unsigned integer\r\nBitsPerElement = 8\r\n\r\n";
    }
    return text +
           "{volumeprimitive1}\r\n[volume]\r\nvolume = volume1\r\n\r\n[description]\r\ntext = " + prefix +
           "\r\n\r\n[geometry]\r\nscale = 1 1 1\r\n";
}

// Slices 0000, 0002 and 0004: positions 0, 1, 2; a format line for BMP and JPEG only; written
// images carry no private block.
TEST(Stages, VolumeDescriptionListsSlicesInOrderWithConsecutivePositions)
{
    for (const auto& [extension, format, prefix] :
         {std::tuple<const char*, const char*, const char*>{"bmp", "bmp", "p_"},
          {"tif", nullptr, "t"},
          {"jpg", "jpeg", "j"}})
    {
        CConversionRig rig;
        for (int32_t n : {0, 2, 4})
            WriteImage(SliceName(rig.Path(""), "g", n), 4, 4, {1});
        const std::string out = rig.Folder("out");
        rig.Wire(rig.Path("g0000.bmp"), out + "/" + prefix + "0000." + extension);
        rig.Job().SetGenerateVgi(true);
        rig.Job().Convert();
        std::vector<std::string> slices;
        for (int32_t n : {0, 2, 4})
            slices.push_back(SliceName(out, prefix, n, extension));
        EXPECT_EQ(CScratchFolder::Read(out + "/" + prefix + ".vgi"), VgiOf(slices, format, prefix))
            << extension;
        const size_t sourceSize = CScratchFolder::Read(rig.Path("g0000.bmp")).size();
        EXPECT_TRUE(std::string(extension) != "bmp" ||
                    CScratchFolder::Read(slices[0]).size() == sourceSize - 56);
    }
}

} // namespace
