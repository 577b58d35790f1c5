// Encoding 8-bit grey rows into a JFIF stream in memory; the JFILE mode then stores that
// stream, so a failed encode never leaves a partial file behind.

#include "jpeg/JpegState.h"

#include <cstdlib>

namespace kavex_jpeg
{

namespace
{

int CheckPicture(const JPEG_CORE_PROPERTIES& props)
{
    if (!props.DIBBytes || props.DIBChannels != 1 || props.DIBColor != IJL_G || props.DIBPadBytes < 0)
        return IJL_INVALID_PARAM;
    if (props.JPGChannels != 1 || props.JPGColor != IJL_G) return IJL_INVALID_PARAM;
    if (props.DIBWidth < 1 || props.DIBWidth > kJpegMaxDimension || props.DIBWidth != props.JPGWidth)
        return IJL_INVALID_PARAM;
    if (props.DIBHeight == 0 || props.DIBHeight == INT32_MIN || std::abs(props.DIBHeight) != props.JPGHeight)
        return IJL_INVALID_PARAM;
    if (props.JPGHeight > kJpegMaxDimension) return IJL_INVALID_PARAM;
    return IJL_OK;
}

int EncodeGuarded(CodecState& state, const JPEG_CORE_PROPERTIES& props)
{
    if (setjmp(state.jump)) return state.failure;
    jpeg_compress_struct& encoder = state.encoder;
    auto* common = reinterpret_cast<j_common_ptr>(&encoder);
    AttachErrorManager(state, common);
    jpeg_create_compress(&encoder);
    state.encoderCreated = true;
    jpeg_mem_dest(&encoder, &state.output, &state.outputSize);

    encoder.image_width = JDIMENSION(props.JPGWidth);
    encoder.image_height = JDIMENSION(props.JPGHeight);
    encoder.input_components = 1;
    encoder.in_color_space = JCS_GRAYSCALE;
    jpeg_set_defaults(&encoder);
    if (props.jquality >= 0 && props.jquality <= 100) jpeg_set_quality(&encoder, props.jquality, TRUE);
    jpeg_start_compress(&encoder, TRUE);

    const size_t stride = size_t(props.DIBWidth) + size_t(props.DIBPadBytes);
    const bool bottomFirst = props.DIBHeight < 0;
    const JDIMENSION last = encoder.image_height - 1;
    while (encoder.next_scanline < encoder.image_height)
    {
        const JDIMENSION y = encoder.next_scanline;
        JSAMPROW row = props.DIBBytes + stride * (bottomFirst ? last - y : y);
        jpeg_write_scanlines(&encoder, &row, 1);
    }
    jpeg_finish_compress(&encoder);
    return IJL_OK;
}

} // namespace

int EncodeImage(CodecState& state, JPEG_CORE_PROPERTIES& props)
{
    ReleaseEncoder(state);
    int result = CheckPicture(props);
    if (result == IJL_OK) result = EncodeGuarded(state, props);
    if (state.encoderCreated) jpeg_destroy_compress(&state.encoder);
    state.encoderCreated = false;
    if (result != IJL_OK) ReleaseEncoder(state);
    return result;
}

void ReleaseEncoder(CodecState& state)
{
    if (state.encoderCreated) jpeg_destroy_compress(&state.encoder);
    state.encoderCreated = false;
    std::free(state.output);
    state.output = nullptr;
    state.outputSize = 0;
}

} // namespace kavex_jpeg
