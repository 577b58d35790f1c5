// Decoding: header first (mode 0 or 1), then the rows straight into the caller's DIB
// (mode 2 or 3). Every libjpeg call runs under the state's jump buffer.

#include "jpeg/JpegState.h"

#include <cstdio>
#include <cstdlib>

namespace kavex_jpeg
{

namespace
{

int ColorOfComponents(int components)
{
    switch (components)
    {
    case 1:
        return IJL_G;
    case 3:
        return IJL_YCBCR;
    default:
        return IJL_OTHER;
    }
}

// Refuses dimensions whose row buffer would be absurd for the stream at hand, before anyone
// allocates it (see the limits in IntelImageJPEGLib.h).
int CheckHeader(CodecState& state, size_t streamSize)
{
    const jpeg_decompress_struct& decoder = state.decoder;
    const uint64_t pixels = uint64_t(decoder.image_width) * decoder.image_height;
    const char* limit = nullptr;
    if (decoder.image_width > unsigned(kJpegMaxDimension) ||
        decoder.image_height > unsigned(kJpegMaxDimension))
        limit = "more than 65500 on a side";
    else if (pixels > kJpegMaxPixels)
        limit = "more than 256 Mpixel";
    else if (pixels > kJpegFreePixels && pixels / kJpegPixelsPerByte > streamSize)
        limit = "far more than its data can hold";
    if (!limit) return IJL_OK;
    std::snprintf(state.message, sizeof state.message, "Image of %u x %u pixels: %s", decoder.image_width,
                  decoder.image_height, limit);
    return IJL_TOO_LARGE;
}

int CheckPicture(const JPEG_CORE_PROPERTIES& props, const jpeg_decompress_struct& decoder)
{
    if (!props.DIBBytes || props.DIBChannels != 1 || props.DIBPadBytes < 0) return IJL_INVALID_PARAM;
    if (props.DIBWidth < 0 || unsigned(props.DIBWidth) != decoder.image_width) return IJL_INVALID_PARAM;
    if (props.DIBHeight == INT32_MIN || unsigned(std::abs(props.DIBHeight)) != decoder.image_height)
        return IJL_INVALID_PARAM;
    const bool other = ColorOfComponents(decoder.num_components) == IJL_OTHER;
    if (props.DIBColor != IJL_G && !(props.DIBColor == IJL_OTHER && other)) return IJL_INVALID_PARAM;
    return IJL_OK;
}

int ReadHeaderGuarded(CodecState& state)
{
    if (setjmp(state.jump)) return state.failure;
    auto* common = reinterpret_cast<j_common_ptr>(&state.decoder);
    AttachErrorManager(state, common);
    jpeg_create_decompress(&state.decoder);
    state.decoderCreated = true;
    AttachProgressMonitor(state, common);
    jpeg_mem_src(&state.decoder, state.stream, static_cast<unsigned long>(state.streamSize));
    jpeg_read_header(&state.decoder, TRUE);
    return IJL_OK;
}

int ReadRowsGuarded(CodecState& state, uint8_t* rows, size_t stride, bool bottomFirst)
{
    if (setjmp(state.jump)) return state.failure;
    jpeg_decompress_struct& decoder = state.decoder;
    decoder.out_color_space = JCS_GRAYSCALE;
    jpeg_start_decompress(&decoder);
    const JDIMENSION last = decoder.output_height - 1;
    while (decoder.output_scanline < decoder.output_height)
    {
        const JDIMENSION y = decoder.output_scanline;
        JSAMPROW row = rows + stride * (bottomFirst ? last - y : y);
        jpeg_read_scanlines(&decoder, &row, 1);
    }
    jpeg_finish_decompress(&decoder);
    return IJL_OK;
}

} // namespace

int DecodeHeader(CodecState& state, JPEG_CORE_PROPERTIES& props)
{
    if (!state.stream || state.streamSize == 0)
    {
        std::snprintf(state.message, sizeof state.message, "Empty input file");
        return IJL_DECODE_ERROR;
    }
    int result = ReadHeaderGuarded(state);
    if (result == IJL_OK) result = CheckHeader(state, state.streamSize);
    if (result != IJL_OK)
    {
        ReleaseDecoder(state);
        return result;
    }
    state.headerRead = true;
    props.JPGWidth = static_cast<int32_t>(state.decoder.image_width);
    props.JPGHeight = static_cast<int32_t>(state.decoder.image_height);
    props.JPGChannels = state.decoder.num_components;
    props.JPGColor = ColorOfComponents(state.decoder.num_components);
    return IJL_OK;
}

int DecodeImage(CodecState& state, JPEG_CORE_PROPERTIES& props)
{
    int result = CheckPicture(props, state.decoder);
    if (result == IJL_OK)
    {
        const size_t stride = size_t(props.DIBWidth) + size_t(props.DIBPadBytes);
        result = ReadRowsGuarded(state, props.DIBBytes, stride, props.DIBHeight < 0);
    }
    ReleaseDecoder(state);
    return result;
}

void ReleaseDecoder(CodecState& state)
{
    if (state.decoderCreated) jpeg_destroy_decompress(&state.decoder);
    state.decoderCreated = false;
    state.headerRead = false;
    state.stream = nullptr;
    state.streamSize = 0;
    std::vector<uint8_t>().swap(state.fileBytes);
}

} // namespace kavex_jpeg
