// Writes the starting corpus of every fuzz target into FOLDER/<target>/: small valid files of
// each kind the readers accept (and a few they refuse on purpose), made with our own writers
// and with libjpeg for the stream variants ours does not produce.
//
//   kavex-fuzz-seeds FOLDER

#include "Base/formats/FileImageBuffer16.h"
#include "Base/formats/JpgFile.h"
#include "Base/formats/TiffFile.h"

#include <tiffio.h>

#include <jpeglib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace
{

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void Save(const fs::path& path, const Bytes& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

vKit::CFileImageBuffer16 Ramp(int32_t w, int32_t h, bool eightBit)
{
    vKit::CFileImageBuffer16 image;
    image.Create(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            *image.PixelPtr(x, y) = uint16_t(eightBit ? ((x * 37 + y * 11) & 0xFF) << 8 : x * 4099 + y * 257);
    image.Info().SetResolutionX(11811);
    image.Info().SetResolutionY(11811);
    image.Info().SetPrivateA(3);
    image.Info().SetPrivateB(-4);
    return image;
}

// Writes through the slice save, then moves the file to the corpus name.
void SaveSlice(vKit::CFileImageBuffer16 image, const fs::path& folder, const std::string& name)
{
    const fs::path path = folder / name;
    if (image.SaveFile(path.string()) != 0) std::fprintf(stderr, "could not write %s\n", path.c_str());
}

// A libjpeg stream of a w x h picture: grey or RGB, progressive, with restart markers or
// arithmetic coding as asked.
Bytes LibjpegStream(int w, int h, int components, bool progressive, int restart, bool arithmetic)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = JDIMENSION(w);
    cinfo.image_height = JDIMENSION(h);
    cinfo.input_components = components;
    cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 60, TRUE);
    if (progressive) jpeg_simple_progression(&cinfo);
    cinfo.restart_interval = JDIMENSION(restart);
    cinfo.arith_code = arithmetic ? TRUE : FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(size_t(w) * components);
    while (cinfo.next_scanline < cinfo.image_height)
    {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = uint8_t(i * 7 + cinfo.next_scanline * 13);
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&cinfo, &p, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes bytes(out, out + size);
    std::free(out);
    return bytes;
}

// Found by fuzzing: an arithmetic-coded stream cut after its scan header, closed with an end
// marker and given a frame of 63239 x 45, was once decoded as millions of zero pixels, at length.
Bytes ClosedArithmeticStream()
{
    Bytes s = LibjpegStream(64, 64, 1, false, 0, true);
    const auto marker = [&s](uint8_t code)
    {
        for (size_t i = 0; i + 1 < s.size(); ++i)
            if (s[i] == 0xFF && s[i + 1] == code) return i + 2;
        return size_t(0);
    };
    const size_t sof = marker(0xC9);
    const size_t sos = marker(0xDA);
    const uint8_t frame[] = {0, 45, 63239 >> 8, 63239 & 0xFF};
    std::copy(std::begin(frame), std::end(frame), s.begin() + long(sof + 3));
    s.resize(sos + 12);
    s.insert(s.end(), {0xFF, 0xD9});
    return s;
}

void WriteBmpSeeds(const fs::path& folder)
{
    SaveSlice(Ramp(3, 2, true), folder, "ramp3x2.bmp");
    SaveSlice(Ramp(5, 7, true), folder, "ramp5x7.bmp");
    SaveSlice(Ramp(1, 1, true), folder, "one.bmp");
}

void WriteLibtiffSeeds(const fs::path& folder);

void WriteTiffSeeds(const fs::path& folder)
{
    SaveSlice(Ramp(3, 25, false), folder, "twostrips.tif");
    SaveSlice(Ramp(4, 4, false), folder, "onestrip.tif");
    // An 8-bit file in two strips whose arrays are SHORT values inside their entries, as other
    // writers produce it.
    Bytes f = {'I', 'I', 42, 0, 0, 0, 0, 0};
    for (int i = 0; i < 12; ++i)
        f.push_back(uint8_t(i * 20));
    const uint16_t entries[][4] = {{256, 3, 1, 4}, {257, 3, 1, 3}, {258, 3, 1, 8}, {259, 3, 1, 1},
                                   {262, 3, 1, 1}, {273, 3, 2, 8}, {277, 3, 1, 1}, {279, 3, 2, 8}};
    const size_t directory = f.size();
    f[4] = uint8_t(directory);
    f.push_back(uint8_t(std::size(entries)));
    f.push_back(0);
    for (const auto& e : entries)
    {
        const uint16_t second = e[0] == 273 ? 16 : e[0] == 279 ? 4 : 0; // strip 2 at 16, 4 bytes
        const uint16_t words[6] = {e[0], e[1], e[2], 0, e[3], second};
        for (uint16_t w : words)
        {
            f.push_back(uint8_t(w));
            f.push_back(uint8_t(w >> 8));
        }
    }
    f.insert(f.end(), 4, 0);
    Save(folder / "eightbit.tif", f);
    WriteLibtiffSeeds(folder);
}

// A small grey file of another layout, written by libtiff itself, for the libtiff path.
void LibtiffSeed(const fs::path& path, const char* mode, uint16_t compression, uint16_t bits, bool tiled,
                 uint16_t predictor)
{
    TIFF* tif = TIFFOpen(path.c_str(), mode);
    if (!tif) return;
    const uint32_t w = 16, h = 16;
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
    if (predictor) TIFFSetField(tif, TIFFTAG_PREDICTOR, predictor);
    std::vector<uint8_t> row(w * bits / 8);
    for (size_t i = 0; i < row.size(); ++i)
        row[i] = uint8_t(i * 7);
    if (tiled)
    {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, w);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, h);
        std::vector<uint8_t> tile;
        for (uint32_t y = 0; y < h; ++y)
            tile.insert(tile.end(), row.begin(), row.end());
        TIFFWriteEncodedTile(tif, 0, tile.data(), tmsize_t(tile.size()));
    }
    else
    {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, 5);
        for (uint32_t y = 0; y < h; ++y)
            TIFFWriteScanline(tif, row.data(), y, 0);
    }
    TIFFClose(tif);
}

void WriteLibtiffSeeds(const fs::path& folder)
{
    LibtiffSeed(folder / "mm16.tif", "wb", COMPRESSION_NONE, 16, false, 0);
    LibtiffSeed(folder / "lzw16p.tif", "wl", COMPRESSION_LZW, 16, false, 2);
    LibtiffSeed(folder / "zip8.tif", "wl", COMPRESSION_ADOBE_DEFLATE, 8, false, 0);
    LibtiffSeed(folder / "packbits8.tif", "wb", COMPRESSION_PACKBITS, 8, false, 0);
    LibtiffSeed(folder / "tiled16.tif", "wl", COMPRESSION_LZW, 16, true, 0);
}

void WriteJpegSeeds(const fs::path& folder)
{
    vKit::CFileImageBuffer16 ours = Ramp(9, 6, true);
    ours.Info().SetJpegQuality(50);
    SaveSlice(ours, folder, "ours.jpg");
    Save(folder / "colour.jpg", LibjpegStream(17, 9, 3, false, 0, false));
    Save(folder / "progressive.jpg", LibjpegStream(12, 10, 1, true, 0, false));
    Save(folder / "progressive-colour.jpg", LibjpegStream(8, 8, 3, true, 0, false));
    Save(folder / "restart.jpg", LibjpegStream(24, 16, 1, false, 1, false));
    Save(folder / "arithmetic.jpg", LibjpegStream(8, 8, 1, false, 0, true));
    Save(folder / "closed-arithmetic.jpg", ClosedArithmeticStream());
}

void WriteNameSeeds(const fs::path& folder)
{
    const std::vector<std::string> names = {
        "/data/scan0042.bmp",
        "/data/SCAN_SPR.BMP",
        "/d/scan_sp2.tif",
        "/d/scan_vpr.jpg",
        "/out/q_arc.jpg",
        "scan_cfg.txt",
        "/d/p_dicom.txt",
        "/d/scan.log",
        "/d/scan????.tif",
        "/a.b/c",
        "x0000.tif",
        "/d/scan9999.jpg",
        std::string("/d/s0001.bmp\0new\x01\x00", 19),
        std::string("/d/s_arc.bmp\0q\xFF\xFF", 17),
    };
    for (size_t i = 0; i < names.size(); ++i)
        Save(folder / ("name" + std::to_string(i)), Bytes(names[i].begin(), names[i].end()));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    const struct
    {
        const char* target;
        void (*write)(const fs::path&);
    } kinds[] = {{"BmpFuzz", WriteBmpSeeds},
                 {"TiffFuzz", WriteTiffSeeds},
                 {"JpegFuzz", WriteJpegSeeds},
                 {"DatasetNamesFuzz", WriteNameSeeds}};
    for (const auto& kind : kinds)
    {
        fs::create_directories(root / kind.target);
        kind.write(root / kind.target);
    }
    return 0;
}
