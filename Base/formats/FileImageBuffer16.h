#pragma once
// An image that loads and saves slice files; the format follows the file name's extension.

#include "Base/core/Status.h"
#include "Base/formats/BMPFile.h"
#include "Base/image/ImageBuffer16.h"
#include "Base/platform/PlatformAtomicWrite.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vKit
{

class CFileImageBuffer16 : public CImageBuffer16
{
public:
    // Result codes of LoadFile and SaveFile (formats may add their own non-zero codes).
    static constexpr int32_t Ok = 0;
    static constexpr int32_t Failed = 2; // extension not handled, or the format refused the file

    CFileImageBuffer16() = default;
    CFileImageBuffer16(const CImageBuffer16& image) : CImageBuffer16(image) {}
    CFileImageBuffer16(const CFileImageBuffer16& other) = default;
    CFileImageBuffer16& operator=(const CFileImageBuffer16& other) = default;
    CFileImageBuffer16& operator=(const CImageBuffer16& image)
    {
        CImageBuffer16::operator=(image);
        return *this;
    }

    // Loads "bmp", "tif" or "jpg"; saves "bmp", "tif"/"tiff" or "jpg"/"jpeg" (letter case
    // ignored). 0 on success, 2 for another extension or a refused file; GetStatus says why.
    int32_t LoadFile(const std::string& path);
    int32_t SaveFile(const std::string& path);

    // An 8-bit BMP saved as an 8-bit BMP with no other work than the stages: the codes, status
    // and file of LoadFile, the stages and SaveFile, with the rows kept 8 bits wide instead of
    // widened to samples and narrowed again. LoadBmpRows reads and checks the file and leaves
    // the image empty; SaveBmpRows writes the rows it loaded. Other names are refused.
    int32_t LoadBmpRows(const std::string& path);
    int32_t SaveBmpRows(const std::string& path, const SBmpStages& stages);
    static bool IsBmpName(const std::string& path);

    // SaveFile writes a new file under a temporary name and renames it onto the path (the
    // default), or, cleared, straight to the path: for a caller that saves under a temporary
    // name of its own and renames it into place itself.
    bool GetSaveAtomically() const { return m_bSaveAtomically; }
    void SetSaveAtomically(bool on) { m_bSaveAtomically = on; }
    // While a sink is set, a save puts the bytes of the file into it and writes nothing: what a
    // save would write, to be looked at without a file. Null (the default) saves to files.
    void SetSaveSink(std::vector<uint8_t>* sink) { m_pSaveSink = sink; }
    // Loads from the bytes of a whole file; the format follows the name's extension, as LoadFile.
    int32_t LoadBytes(const std::string& name, const uint8_t* data, size_t size);
    // How the format writers put a finished file on disk, as GetSaveAtomically says: 0 or an
    // errno value.
    int32_t WriteFileBytes(const std::string& path, const void* data, size_t size) const;
    int32_t WriteFileBytes(const std::string& path, const CWritePiece* pieces, size_t count) const;
    // Memory a whole file is held in while it is read or built; kept from file to file, so that
    // an image loaded and saved file after file allocates it once.
    CAlignedBlock& FileBytes() { return m_fileBytes.block; }
    // Memory a codec builds its 8-bit rows in beside the file bytes; kept the same way.
    CAlignedBlock& RowBytes() { return m_rowBytes.block; }

    // Messages of the last load or save.
    const std::vector<std::string>& Messages() const { return m_messages; }
    void AddMessage(const std::string& text) { m_messages.push_back(text); }
    // Why the last load or save failed, naming the file (Ok after success). The format code
    // that fails sets it; the file name is filled in here.
    const CStatus& GetStatus() const { return m_status; }
    void SetStatus(const CStatus& status) { m_status = status; }

    // What the last load learnt of the file beyond its image.
    struct SFileNotes
    {
        int32_t pages = 1;          // images the file holds; the first one is loaded
        bool signedSamples = false; // signed samples, held offset by half their range
    };
    const SFileNotes& FileNotes() const { return m_notes; }
    void SetFileNotes(const SFileNotes& notes) { m_notes = notes; }

    int32_t GetExportParam() const { return m_nExportParam; }
    void SetExportParam(int32_t v) { m_nExportParam = v; }
    // When either multiple is 1 or more, the TIFF writer pads a copy on the right and at the
    // bottom up to these multiples, with the pad value.
    int32_t GetPadMultipleX() const { return m_nPadMultipleX; }
    void SetPadMultipleX(int32_t v) { m_nPadMultipleX = v; }
    int32_t GetPadMultipleY() const { return m_nPadMultipleY; }
    void SetPadMultipleY(int32_t v) { m_nPadMultipleY = v; }
    uint16_t GetPadValue() const { return m_nPadValue; }
    void SetPadValue(uint16_t v) { m_nPadValue = v; }

private:
    // One entry point per format and direction; each returns a LoadFile/SaveFile code.
    int32_t LoadBmp(const std::string& path);
    int32_t SaveBmp(const std::string& path);
    // Reads and checks a BMP file into m_bmp.source; the same code as LoadBmp when it fails.
    int32_t ReadBmp(const std::string& path);
    int32_t TakeBmp(const CBMPFile& bmp, const std::string& path); // the parsed file's rows and description
    int32_t WriteBmp(const CBMPFile& bmp, bool built, const std::string& path);
    int32_t LoadTiff(const std::string& path);
    int32_t SaveTiff(const std::string& path);
    int32_t LoadJpeg(const std::string& path);
    int32_t SaveJpeg(const std::string& path);

    // Clears messages and status, then loads or saves by the name's extension.
    int32_t ByFormat(const std::string& path, bool saving);
    int32_t Finish(int32_t result, const std::string& path);
    int32_t Unhandled(const std::string& path, const char* extensions);

    std::vector<std::string> m_messages;
    CStatus m_status;
    SFileNotes m_notes;
    int32_t m_nExportParam = 33;
    int32_t m_nPadMultipleX = 0;
    int32_t m_nPadMultipleY = 0;
    uint16_t m_nPadValue = 0xFF00;
    bool m_bSaveAtomically = true;
    std::vector<uint8_t>* m_pSaveSink = nullptr;
    // Scratch that a copy of the image does not take along.
    struct SScratch
    {
        CAlignedBlock block;
        SScratch() = default;
        SScratch(const SScratch&) {}
        SScratch& operator=(const SScratch&) { return *this; }
    } m_fileBytes, m_rowBytes;
    // The file last read and the file built to be written, kept so that their descriptions
    // allocate once; their bytes live in the two blocks above.
    struct SBmpFiles
    {
        CBMPFile source, target;
        SBmpFiles() = default;
        SBmpFiles(const SBmpFiles&) {}
        SBmpFiles& operator=(const SBmpFiles&) { return *this; }
    } m_bmp;
};

} // namespace vKit
