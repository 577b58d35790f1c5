#pragma once
// A look at one slice before a run: the source slice and the destination slice as a job with
// the given options would write it, made with the job's own stages and writers into memory.
// Nothing is written to disk, and the work needs nothing of the caller, so it runs on any thread.

#include "Base/formats/FileImageBuffer16.h"
#include "Base/image/ColorTable.h"

#include <cstdint>
#include <string>

// The options of one preview, taken from the dialog when it was asked for.
struct CPreviewRequest
{
    std::string sourceMask;      // the source data set (slices only)
    std::string destinationMask; // the destination: folder, prefix and extension
    int32_t slice = 0;           // index in the source's slice list
    int32_t resizeFactor = 1;
    int32_t resizeQuality = 1;
    int32_t jpegQuality = 33;
    int32_t shift = 0;
    bool invertPalette = false;
    bool invertRawData = false;
    vKit::CColorTable sourcePalette; // the first slice's second colour table

    bool operator==(const CPreviewRequest& other) const;
};

struct CSlicePreview
{
    int32_t sliceCount = 0;      // slices in the source
    int32_t slice = -1;          // index shown
    int32_t sliceNumber = -1;    // its number in the file name
    std::string sourcePath;      // the slice's file
    std::string destinationPath; // the file the run would write from it
    vKit::CFileImageBuffer16 source;
    vKit::CFileImageBuffer16 destination; // as the destination file would hold it
    std::string reason;                   // why the destination (or both) could not be made; "" when shown
};

// Why a slice did not load, for the user: the file's name and the reader's words. The one place
// that turns a load's outcome into text.
std::string LoadFailureReason(const vKit::CFileImageBuffer16& image, const std::string& path);

// 0 when both images were made; else non-zero with the reason in preview.reason.
int32_t MakeSlicePreview(const CPreviewRequest& request, CSlicePreview& preview);
