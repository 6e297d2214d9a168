#include "formats/format_codes.h"


#include "platform/text_compare.h"

namespace pm32 {
namespace {

struct Extension {
    std::string_view suffix;
    FormatCode code;
};

// Compared in this order; the first match wins.
constexpr Extension kExtensions[] = {
    {".bmp", kFormatBmp},  {".dib", kFormatDib}, {".pcx", kFormatPcx},  {".tga", kFormatTarga},
    {".jpg", kFormatJpeg}, {".gif", kFormatGif}, {".tif", kFormatTiff}, {".fif", kFormatFif},
    {".qzi", kFormatQzi},  {".qzs", kFormatQzs}, {".png", kFormatPng},
};

}  // namespace

FormatCode IdentifyFormatByExtension(std::string_view path) {
    if (path.size() <= 4) return kFormatUnrecognised;
    std::string_view last4 = path.substr(path.size() - 4);
    for (const Extension& e : kExtensions)
        if (platform::EqualsIgnoringCase(last4, e.suffix)) return e.code;
    return kFormatUnrecognised;
}

std::string_view FormatCodeText(int code) {
    constexpr std::string_view kTexts[] = {
        "0 - any listed", "1 - TIF",  "2 - TGA",
        "3 - BMP",        "4 - GIF",  "5 - DIB",
        "6 - PCX",        "7 - JPG",  "8 - OLE paintbrush",
        "9 - FIF",        "10 - PNG",
    };
    if (code < 0 || code > 10) return "? - Undefined";
    return kTexts[code];
}

}  // namespace pm32
