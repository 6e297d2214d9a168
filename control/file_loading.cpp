#include "control/file_loading.h"

#include "control/dispids.h"
#include "control/image_combination.h"
#include "control/zpm32.h"
#include "formats/content_format.h"
#include "formats/dispatch.h"

namespace pm32::control {

ZLoadParams LoadParamsOf(const ZPm32& c) {
    ZLoadParams params;
    params.scale = c.I2(dispid::LoadScale);
    params.width = c.I2(dispid::LoadWidth);
    params.height = c.I2(dispid::LoadHeight);
    params.options = c.I2(dispid::LoadOptions);
    params.palette = static_cast<std::uint32_t>(c.I4(dispid::LoadPalette));
    params.cropX = c.I2(dispid::LoadCropX);
    params.cropY = c.I2(dispid::LoadCropY);
    params.cropWidth = c.I2(dispid::LoadCropWidth);
    params.cropHeight = c.I2(dispid::LoadCropHeight);
    params.fastest = c.Bool(dispid::LoadFastest) ? 1 : 0;
    params.modern = c.Bool(dispid::LoadModernFiles);
    params.backColor = BackColorOf(c);
    return params;
}

ErrorNumber ResolveLoadFormat(const ZPm32& c, const std::string& path, FormatCode& format) {
    const ErrorNumber byName = ResolveFormat(c.I2(dispid::ImageFormat), path, format);
    if (!c.Bool(dispid::LoadModernFiles) || c.I2(dispid::ImageFormat) != kFormatAny) return byName;
    const FormatCode content = IdentifyFileByContent(path);
    if (content == kFormatUnrecognised) return byName;
    if (byName != 0) {
        format = content;
        return 0;
    }
    const bool agrees = content == format || (content == kFormatBmp && format == kFormatDib);
    // Targa has no signature: a name that says otherwise is believed.
    const bool guess = content == kFormatTarga;
    if (!agrees && !guess && format != kFormatQzi && format != kFormatQzs) format = content;
    return 0;
}

bool ReadControlFile(const ZPm32& c, const std::string& path, ZDib& image) {
    FormatCode format{};
    if (ErrorNumber n = ResolveLoadFormat(c, path, format); n != 0) Raise(n);
    if (format == kFormatQzi || format == kFormatQzs) return false;
    LoadFile(image, path, format, c.I2(dispid::ImageNumber), LoadParamsOf(c));
    if (image.error != 0) Raise(image.error);
    return image.handle != 0;
}

}  // namespace pm32::control
