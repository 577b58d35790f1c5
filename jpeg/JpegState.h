#pragma once
// Codec state behind JPEG_CORE_PROPERTIES::pCodecState, private to the jpeg/ folder.
// Everything libjpeg may touch between setjmp and longjmp lives here on the heap, so nothing
// that a jump could leave indeterminate sits in a register of the calling frame.

#include "jpeg/IntelImageJPEGLib.h"

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace kavex_jpeg
{

struct CodecState
{
    jpeg_error_mgr errorManager{};
    jpeg_progress_mgr progressManager{};
    std::jmp_buf jump{};
    int failure = IJL_OK; // the code a jump out of libjpeg returns
    char message[JMSG_LENGTH_MAX] = {};

    jpeg_decompress_struct decoder{};
    bool decoderCreated = false;
    bool headerRead = false;
    std::vector<uint8_t> fileBytes;  // the whole file in the JFILE read modes
    const uint8_t* stream = nullptr; // the stream the decoder reads
    size_t streamSize = 0;

    jpeg_compress_struct encoder{};
    bool encoderCreated = false;
    unsigned char* output = nullptr; // malloc'ed by libjpeg's memory destination
    unsigned long outputSize = 0;
};

CodecState* StateOf(const JPEG_CORE_PROPERTIES* props);

// Points the libjpeg object at the state's error manager and the state itself; call it before
// jpeg_create_*, which keeps both. The progress manager is attached after the create call.
void AttachErrorManager(CodecState& state, j_common_ptr cinfo);
void AttachProgressMonitor(CodecState& state, j_common_ptr cinfo);

// Leaves the libjpeg call in progress through the state's jump buffer with this code.
[[noreturn]] void Fail(j_common_ptr cinfo, int code);

int DecodeHeader(CodecState& state, JPEG_CORE_PROPERTIES& props);
int DecodeImage(CodecState& state, JPEG_CORE_PROPERTIES& props);
void ReleaseDecoder(CodecState& state);

int EncodeImage(CodecState& state, JPEG_CORE_PROPERTIES& props);
void ReleaseEncoder(CodecState& state);

// The file side of the JFILE modes (the codec sits below vkit and its platform layer).
int ReadWholeFile(const char* path, std::vector<uint8_t>& bytes);
int WriteWholeFile(const char* path, const uint8_t* bytes, size_t size);

} // namespace kavex_jpeg
