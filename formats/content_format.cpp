#include "formats/content_format.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "platform/stdio_file.h"

namespace pm32 {
namespace {

bool startsWith(std::span<const std::uint8_t> head, std::initializer_list<std::uint8_t> magic) {
    return head.size() >= magic.size() && std::equal(magic.begin(), magic.end(), head.begin());
}

// A Targa header has no signature: its fields must at least make sense.
bool plausibleTarga(std::span<const std::uint8_t> head) {
    if (head.size() < 18) return false;
    const std::uint8_t colorMapType = head[1];
    const std::uint8_t imageType = head[2];
    const std::uint8_t bits = head[16];
    constexpr std::array kTypes{1, 2, 3, 9, 10, 11};
    constexpr std::array kBits{8, 15, 16, 24, 32};
    const int width = head[12] | head[13] << 8;
    const int height = head[14] | head[15] << 8;
    return colorMapType <= 1 && std::ranges::find(kTypes, imageType) != kTypes.end() &&
           std::ranges::find(kBits, bits) != kBits.end() && width > 0 && height > 0;
}

}  // namespace

FormatCode IdentifyFormatByContent(std::span<const std::uint8_t> head) {
    if (startsWith(head, {'B', 'M'})) return kFormatBmp;
    if (startsWith(head, {'G', 'I', 'F', '8'})) return kFormatGif;
    if (startsWith(head, {0xFF, 0xD8, 0xFF})) return kFormatJpeg;
    if (startsWith(head, {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})) return kFormatPng;
    if (startsWith(head, {'I', 'I', 42, 0}) || startsWith(head, {'M', 'M', 0, 42}))
        return kFormatTiff;
    if (head.size() >= 128 && head[0] == 0x0A && head[1] <= 5 && head[2] == 1) return kFormatPcx;
    if (plausibleTarga(head)) return kFormatTarga;
    return kFormatUnrecognised;
}

FormatCode IdentifyFileByContent(const std::string& path) {
    std::array<std::uint8_t, 128> head{};
    platform::StdioFile file = platform::openStdio(path, "rb");
    if (!file) return kFormatUnrecognised;
    const std::size_t got = std::fread(head.data(), 1, head.size(), file.get());
    return IdentifyFormatByContent(std::span(head.data(), got));
}

}  // namespace pm32
