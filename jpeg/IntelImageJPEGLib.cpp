#include "jpeg/IntelImageJPEGLib.h"

#include "jpeg/JpegState.h"

#include <cstring>
#include <new>

#include <jerror.h>

namespace kavex_jpeg
{

namespace
{

CodecState* StateOfCinfo(j_common_ptr cinfo)
{
    return static_cast<CodecState*>(cinfo->client_data);
}

int CodeForError(j_common_ptr cinfo)
{
    switch (cinfo->err->msg_code)
    {
    case JERR_OUT_OF_MEMORY:
        return IJL_MEMORY_ERROR;
    case JERR_BAD_PRECISION:
    case JERR_CONVERSION_NOTIMPL:
    case JERR_NOT_COMPILED:
        return IJL_UNSUPPORTED;
    case JERR_IMAGE_TOO_BIG:
    case JERR_NO_BACKING_STORE:
        return IJL_TOO_LARGE;
    default:
        return cinfo->is_decompressor ? IJL_DECODE_ERROR : IJL_ENCODE_ERROR;
    }
}

// libjpeg's default ends the process; this one jumps back to the call that entered libjpeg.
void ErrorExit(j_common_ptr cinfo)
{
    (*cinfo->err->format_message)(cinfo, StateOfCinfo(cinfo)->message);
    Fail(cinfo, CodeForError(cinfo));
}

// libjpeg only warns when the data ends early and then decodes grey padding; a slice with
// missing rows is a failed load, so that warning ends the call like an error. libjpeg reads
// ahead, so a stream that lacks only its end marker cannot be told apart and fails too. A
// segment that ends before its restart marker inside a whole stream is damage libjpeg resumes
// from at the marker, as every other reader does, so it loads.
void EmitMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0) return;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF)
    {
        (*cinfo->err->format_message)(cinfo, StateOfCinfo(cinfo)->message);
        Fail(cinfo, IJL_DECODE_ERROR);
    }
    cinfo->err->num_warnings++;
}

void OutputMessage(j_common_ptr cinfo)
{
    (*cinfo->err->format_message)(cinfo, StateOfCinfo(cinfo)->message);
}

// A progressive stream can hold thousands of tiny scans that each cost a pass over the
// coefficients; real encoders write about ten.
void ProgressMonitor(j_common_ptr cinfo)
{
    if (!cinfo->is_decompressor) return;
    const auto* decoder = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (decoder->input_scan_number > kJpegMaxScans)
    {
        std::strcpy(StateOfCinfo(cinfo)->message, "Too many progressive scans");
        Fail(cinfo, IJL_TOO_LARGE);
    }
}

} // namespace

CodecState* StateOf(const JPEG_CORE_PROPERTIES* props)
{
    return props ? static_cast<CodecState*>(props->pCodecState) : nullptr;
}

void AttachErrorManager(CodecState& state, j_common_ptr cinfo)
{
    cinfo->err = jpeg_std_error(&state.errorManager);
    state.errorManager.error_exit = ErrorExit;
    state.errorManager.emit_message = EmitMessage;
    state.errorManager.output_message = OutputMessage;
    cinfo->client_data = &state;
    state.message[0] = '\0';
}

void AttachProgressMonitor(CodecState& state, j_common_ptr cinfo)
{
    state.progressManager.progress_monitor = ProgressMonitor;
    cinfo->progress = &state.progressManager;
}

void Fail(j_common_ptr cinfo, int code)
{
    CodecState* state = StateOfCinfo(cinfo);
    state->failure = code;
    std::longjmp(state->jump, 1);
}

int ReadWholeFile(const char* path, std::vector<uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path, "rb");
    if (!file) return IJL_FILE_ERROR;
    int result = IJL_OK;
    if (std::fseek(file, 0, SEEK_END) != 0) result = IJL_FILE_ERROR;
    const long size = result == IJL_OK ? std::ftell(file) : -1;
    if (size < 0 || std::fseek(file, 0, SEEK_SET) != 0) result = IJL_FILE_ERROR;
    if (result == IJL_OK)
    {
        try
        {
            bytes.resize(static_cast<size_t>(size));
        }
        catch (const std::bad_alloc&)
        {
            result = IJL_MEMORY_ERROR;
        }
    }
    if (result == IJL_OK && std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
        result = IJL_FILE_ERROR;
    std::fclose(file);
    return result;
}

int WriteWholeFile(const char* path, const uint8_t* bytes, size_t size)
{
    std::FILE* file = std::fopen(path, "wb");
    if (!file) return IJL_FILE_ERROR;
    const bool written = std::fwrite(bytes, 1, size, file) == size;
    const bool closed = std::fclose(file) == 0;
    return written && closed ? IJL_OK : IJL_FILE_ERROR;
}

} // namespace kavex_jpeg

using namespace kavex_jpeg;

int CIntelImageJPEGLib::JpegInit(JPEG_CORE_PROPERTIES* props)
{
    if (!props) return IJL_INVALID_PARAM;
    JpegFree(props);
    *props = JPEG_CORE_PROPERTIES{};
    props->DIBChannels = 1;
    props->DIBColor = IJL_G;
    props->JPGChannels = 1;
    props->JPGColor = IJL_G;
    props->JPGSubsampling = IJL_NONE;
    props->jquality = 75;
    props->pCodecState = new (std::nothrow) CodecState;
    return props->pCodecState ? IJL_OK : IJL_MEMORY_ERROR;
}

int CIntelImageJPEGLib::JpegFree(JPEG_CORE_PROPERTIES* props)
{
    CodecState* state = StateOf(props);
    if (!state) return IJL_OK;
    ReleaseDecoder(*state);
    ReleaseEncoder(*state);
    delete state;
    props->pCodecState = nullptr;
    props->JPGBytes = nullptr;
    props->JPGSizeBytes = 0;
    return IJL_OK;
}

int CIntelImageJPEGLib::JpegRead(JPEG_CORE_PROPERTIES* props, int mode)
{
    CodecState* state = StateOf(props);
    if (!state) return IJL_INVALID_PARAM;
    const bool fromFile = mode == IJL_JFILE_READPARAMS || mode == IJL_JFILE_READWHOLEIMAGE;
    const bool fromBuffer = mode == IJL_JBUFF_READPARAMS || mode == IJL_JBUFF_READWHOLEIMAGE;
    if (!fromFile && !fromBuffer) return IJL_INVALID_PARAM;
    const bool wholeImage = mode == IJL_JFILE_READWHOLEIMAGE || mode == IJL_JBUFF_READWHOLEIMAGE;

    // A whole-image read after a parameter read of the same source reuses the parsed header.
    if (!wholeImage || !state->headerRead)
    {
        ReleaseDecoder(*state);
        if (fromFile)
        {
            if (!props->JPGFile) return IJL_INVALID_PARAM;
            const int read = ReadWholeFile(props->JPGFile, state->fileBytes);
            if (read != IJL_OK) return read;
            state->stream = state->fileBytes.data();
            state->streamSize = state->fileBytes.size();
        }
        else
        {
            if (!props->JPGBytes) return IJL_INVALID_PARAM;
            state->stream = props->JPGBytes;
            state->streamSize = props->JPGSizeBytes;
        }
        const int header = DecodeHeader(*state, *props);
        if (header != IJL_OK || !wholeImage) return header;
    }
    return DecodeImage(*state, *props);
}

int CIntelImageJPEGLib::JpegWrite(JPEG_CORE_PROPERTIES* props, int mode)
{
    CodecState* state = StateOf(props);
    if (!state || (mode != IJL_JFILE_WRITEWHOLEIMAGE && mode != IJL_JBUFF_WRITEWHOLEIMAGE))
        return IJL_INVALID_PARAM;
    if (mode == IJL_JFILE_WRITEWHOLEIMAGE && !props->JPGFile) return IJL_INVALID_PARAM;
    if (props->JPGBytes == state->output)
    {
        props->JPGBytes = nullptr; // the stream of the previous write goes away now
        props->JPGSizeBytes = 0;
    }
    const int encoded = EncodeImage(*state, *props);
    if (encoded != IJL_OK) return encoded;
    if (mode == IJL_JFILE_WRITEWHOLEIMAGE)
        return WriteWholeFile(props->JPGFile, state->output, state->outputSize);
    props->JPGBytes = state->output;
    props->JPGSizeBytes = state->outputSize;
    return IJL_OK;
}

const char* CIntelImageJPEGLib::LastMessage(const JPEG_CORE_PROPERTIES* props)
{
    const CodecState* state = StateOf(props);
    return state ? state->message : "";
}
