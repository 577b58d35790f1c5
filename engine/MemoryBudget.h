#pragma once
// How many files a run works on at a time. Each thread holds the image it converts with the
// file bytes and scratch that go with it; for large slices that is more than a machine has to
// spare, so a budget for the images in flight sets the number of threads and how far ahead
// files are decided.

#include <cstdint>
#include <string>

namespace kavex
{

// Bytes the work on one image of that many pixels holds at its peak: the 16-bit image beside the
// file it is read from (or the 8-bit rows a JPEG is decoded into) or the file it is built into
// (or the rows a JPEG is encoded from), and the scratch of a reduction and of 3D averaging.
int64_t ImageWorkBytes(int64_t pixels, const std::string& sourceExtension,
                       const std::string& destinationExtension, int32_t resizeFactor, int32_t resizeQuality);

struct CLanePlan
{
    int32_t lanes = 1;     // threads working on files, the calling one included
    int32_t lookAhead = 0; // files decided beyond the one being handled
};

// As many lanes as threads, fewer when their images would exceed the budget, never fewer than
// one; bytesPerImage 0 (an unknown size) bounds nothing.
CLanePlan PlanLanes(int64_t bytesPerImage, int32_t threads, int64_t budget);

// KAVEX_MEMORY_MB (mebibytes) when it holds a number from 1, else a quarter of the physical
// memory, else 1 GiB.
int64_t DefaultMemoryBudget();

// The number an environment variable holds when it is a whole number from 1; 0 otherwise.
int64_t PositiveEnvNumber(const char* name);

} // namespace kavex
