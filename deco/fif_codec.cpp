#include "deco/fif_codec.h"

#include <cmath>

#include "deco/color_space.h"
#include "deco/plane_encoder.h"

namespace deco {
namespace {

PlaneGeometry chromaGeometry(int width, int height) {
    return planeGeometry((width + 1) / 2, (height + 1) / 2);
}

bool withinLimit(const PlaneGeometry& geometry) {
    return static_cast<std::uint64_t>(geometry.paddedWidth) *
               static_cast<std::uint64_t>(geometry.paddedHeight) <=
           kMaxPlanePixels;
}

}  // namespace

double blockErrorLimit(int quality) {
    double loss = 100 - std::clamp(quality, 1, 100);
    return 1.0 + 0.02 * loss * loss;
}

std::optional<FifPicture> parseFif(const std::uint8_t* data, std::size_t size) {
    auto header = readHeader(data, size);
    if (!header) return std::nullopt;
    FifPicture picture{*header, {}};
    std::vector<PlaneGeometry> geometries{planeGeometry(header->width, header->height)};
    if (header->color) {
        geometries.push_back(chromaGeometry(header->width, header->height));
        geometries.push_back(geometries.back());
    }
    std::size_t at = header->planesOffset;
    for (const PlaneGeometry& geometry : geometries) {
        if (!withinLimit(geometry) || size - at < 4) return std::nullopt;
        std::uint32_t length = readU32(data + at);
        at += 4;
        if (size - at < length) return std::nullopt;
        auto plane = readPlane(geometry, data + at, length);
        if (!plane) return std::nullopt;
        picture.planes.push_back(std::move(*plane));
        at += length;
    }
    if (at != size) return std::nullopt;
    return picture;
}

std::optional<std::vector<std::uint8_t>> encodeFif(const std::uint8_t* rgb, int width, int height,
                                                   const EncodeSettings& settings) {
    if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return std::nullopt;
    if (!withinLimit(planeGeometry(width, height))) return std::nullopt;
    if (!settings.tableName.empty() && !isPlainTableName(settings.tableName)) return std::nullopt;
    auto pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> luma(pixels);
    std::vector<int> cbFull(pixels), crFull(pixels);
    bool grey = true;
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* p = rgb + 3 * i;
        grey = grey && p[0] == p[1] && p[1] == p[2];
        Ycc ycc = toYcc(p[0], p[1], p[2]);
        luma[i] = static_cast<std::uint8_t>(ycc.y);
        cbFull[i] = ycc.cb;
        crFull[i] = ycc.cr;
    }
    FifHeader header;
    header.major = kFormatMajor;
    header.minor = kFormatMinor;
    header.color = !grey;
    header.sizeUnknown = settings.sizeUnknown;
    header.quality = std::clamp(settings.quality, 1, 100);
    header.width = width;
    header.height = height;
    header.tableName = settings.tableName;
    std::vector<std::uint8_t> out;
    writeHeader(header, out);
    double limit = blockErrorLimit(header.quality);
    auto appendPlane = [&](const PlaneCode& code) {
        std::vector<std::uint8_t> stream = writePlane(code);
        appendU32(out, static_cast<std::uint32_t>(stream.size()));
        out.insert(out.end(), stream.begin(), stream.end());
    };
    appendPlane(encodePlane(luma.data(), width, height, width, limit, settings.contrast));
    if (header.color) {
        // Chroma is coded at half size, each sample the mean of a 2 x 2 square.
        int cw = (width + 1) / 2, ch = (height + 1) / 2;
        for (const std::vector<int>* full : {&cbFull, &crFull}) {
            std::vector<std::uint8_t> half(static_cast<std::size_t>(cw) * ch);
            for (int y = 0; y < ch; ++y)
                for (int x = 0; x < cw; ++x) {
                    int sum = 0;
                    for (int j = 0; j < 2; ++j)
                        for (int i = 0; i < 2; ++i) {
                            int sx = std::min(2 * x + i, width - 1),
                                sy = std::min(2 * y + j, height - 1);
                            sum += (*full)[static_cast<std::size_t>(sy) * width + sx];
                        }
                    half[static_cast<std::size_t>(y) * cw + x] =
                        static_cast<std::uint8_t>((sum + 2) / 4);
                }
            appendPlane(encodePlane(half.data(), cw, ch, cw, 2 * limit, settings.contrast));
        }
    }
    return out;
}

}  // namespace deco
