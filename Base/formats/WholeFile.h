#pragma once
// A file read in one piece into memory that the caller keeps from file to file, so that a
// stack of slices read one after the other allocates (and faults in) that memory once.

#include <cstddef>
#include <cstdint>
#include <string>

namespace vKit
{

class CAlignedBlock;

// 0, or an errno value: EFBIG for a file beyond limit bytes, ENOMEM, EIO for a short read.
int32_t ReadWholeFile(const std::string& path, CAlignedBlock& data, size_t& size, uint64_t limit);

} // namespace vKit
