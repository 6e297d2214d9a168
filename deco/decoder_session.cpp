#include "deco/decoder_session.h"

#include <algorithm>
#include <cstring>

#include "deco/picture_render.h"

namespace deco {
namespace {

constexpr int kMaxSide = 32767;
constexpr int kBandRows = 8;

bool validSide(std::int32_t side) { return side > 0 && side <= kMaxSide; }

int bitsPerPixel(int count) { return count == 2 ? 1 : count == 16 ? 4 : 8; }

}  // namespace

bool DecoderSession::open(const std::uint8_t* data, std::uint32_t size) {
    auto picture = parseFif(data, size);
    if (!picture) return false;
    picture_ = std::move(picture);
    table_.reset();
    if (picture_->header.tableName.empty()) table_ = defaultContrastTable();
    return true;
}

bool DecoderSession::setTable(const std::uint8_t* data, std::uint32_t size) {
    auto table = readContrastTable(data, size);
    if (!table) return false;
    table_ = table;
    return true;
}

bool DecoderSession::storedSize(std::int32_t& width, std::int32_t& height,
                                std::int32_t& extra) const {
    if (!picture_) return false;
    bool known = !picture_->header.sizeUnknown;
    width = known ? picture_->header.width : 0;
    height = known ? picture_->header.height : 0;
    extra = picture_->header.color ? 24 : 8;
    return true;
}

bool DecoderSession::setOutputSize(std::int32_t width, std::int32_t height) {
    if (!validSide(width) || !validSide(height)) return false;
    outWidth_ = width;
    outHeight_ = height;
    return true;
}

bool DecoderSession::setOutputFormat(std::int32_t kind, std::int32_t redBits,
                                     std::int32_t greenBits, std::int32_t blueBits,
                                     std::int32_t bottomUp) {
    std::array<int, 3> bits{redBits, greenBits, blueBits};
    bool bitsValid = std::all_of(bits.begin(), bits.end(), [](int b) { return b >= 1 && b <= 8; });
    if ((kind != DECO32_KIND_TRUE_COLOR && kind != DECO32_KIND_INDEXED) || !bitsValid ||
        (bottomUp != 0 && bottomUp != 1))
        return false;
    kind_ = kind;
    histogramBits_ = bits;
    bottomUp_ = bottomUp == 1;
    return true;
}

bool DecoderSession::tableName(char* name) const {
    if (!picture_ || name == nullptr) return false;
    const std::string& text = picture_->header.tableName;
    std::memcpy(name, text.c_str(), text.size() + 1);
    return true;
}

void DecoderSession::setProgress(DecoProgress callback, std::int32_t mode) {
    progress_ = callback;
    progressMode_ = mode;
}

bool DecoderSession::fastestSize(std::int32_t& width, std::int32_t& height) const {
    if (!picture_ || !validSide(width) || !validSide(height)) return false;
    // The octave nearest the wanted size needs no resampling.
    const FifHeader& header = picture_->header;
    int bestShift = kBaseShift;
    double bestDistance = 1e300;
    for (int shift = kBaseShift; shift <= kMaxShift; ++shift) {
        double w = header.width * (shift >= 0 ? double(1 << shift) : 1.0 / (1 << -shift));
        double h = header.height * (shift >= 0 ? double(1 << shift) : 1.0 / (1 << -shift));
        if (w > kMaxSide || h > kMaxSide) break;
        double distance = std::abs(w - width) + std::abs(h - height);
        if (distance < bestDistance) {
            bestDistance = distance;
            bestShift = shift;
        }
    }
    auto side = [&](int size) {
        return std::max(1, bestShift >= 0 ? size << bestShift : size >> -bestShift);
    };
    width = side(header.width);
    height = side(header.height);
    return true;
}

bool DecoderSession::setDither(std::int32_t dither, std::int32_t red, std::int32_t green,
                               std::int32_t blue) {
    std::array<int, 3> weights{red, green, blue};
    bool valid =
        std::all_of(weights.begin(), weights.end(), [](int w) { return w >= 0 && w <= 15; });
    if ((dither != 0 && dither != 1) || !valid || red + green + blue == 0) return false;
    dither_ = dither == 1;
    weights_ = weights;
    return true;
}

bool DecoderSession::setPalette(std::uint32_t colors, std::int32_t first, std::int32_t count) {
    if ((count != 2 && count != 16 && count != 256) || first < 0 || first >= count) return false;
    colors_ = colors;
    first_ = first;
    count_ = count;
    return true;
}

bool DecoderSession::useFixedPalette(std::int32_t which) {
    if (which != 0) return false;
    fixedPalette_ = true;
    return true;
}

bool DecoderSession::colorTable(std::uint8_t* entries) const {
    if (entries == nullptr || palette_.empty()) return false;
    std::memset(entries, 0, static_cast<std::size_t>(count_) * 4);
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        std::uint8_t* entry = entries + 4 * (static_cast<std::size_t>(first_) + i);
        entry[0] = palette_[i].r;
        entry[1] = palette_[i].g;
        entry[2] = palette_[i].b;
    }
    return true;
}

std::uint8_t* DecoderSession::rowAddress(std::uint8_t* firstRow, int y, int height,
                                         std::int32_t stride) const {
    auto line = static_cast<std::size_t>(bottomUp_ ? height - 1 - y : y);
    return firstRow + line * static_cast<std::size_t>(stride);
}

bool DecoderSession::report(int rowsDone, bool last) {
    if (progress_ == nullptr) return true;
    unreported_ += rowsDone;
    int band = progressMode_ == 2 ? 1 : kBandRows;
    if (unreported_ < band && !(last && unreported_ > 0)) return true;
    int rows = unreported_;
    unreported_ = 0;
    return progress_(rows) == 0;
}

std::int16_t DecoderSession::decode(std::uint8_t* firstRow, std::int32_t cropX, std::int32_t cropY,
                                    std::int32_t cropWidth, std::int32_t cropHeight,
                                    std::int32_t stride) {
    if (!picture_ || !table_ || outWidth_ == 0 || kind_ == 0 || firstRow == nullptr) return 1;
    bool whole = cropX == 0 && cropY == 0 && cropWidth == 0 && cropHeight == 0;
    if (whole) {
        cropWidth = outWidth_;
        cropHeight = outHeight_;
    }
    if (cropX < 0 || cropY < 0 || cropX > kMaxSide || cropY > kMaxSide || !validSide(cropWidth) ||
        !validSide(cropHeight))
        return 1;
    bool indexed = kind_ == DECO32_KIND_INDEXED;
    if (indexed && count_ == 0) return 1;
    int depth = indexed ? bitsPerPixel(count_) : 24;
    auto rowBytes = (static_cast<std::int64_t>(cropWidth) * depth + 7) / 8;
    if (stride < rowBytes) return 1;

    PictureRender render(*picture_, *table_, outWidth_, outHeight_,
                         {cropX, cropY, cropX + cropWidth, cropY + cropHeight});
    std::vector<std::uint8_t> rgb(3 * static_cast<std::size_t>(cropWidth) *
                                  static_cast<std::size_t>(indexed ? cropHeight : 1));
    unreported_ = 0;
    for (int y = 0; y < cropHeight; ++y) {
        std::uint8_t* line =
            indexed ? &rgb[3 * static_cast<std::size_t>(y) * cropWidth] : rgb.data();
        render.row(y, line);
        if (!indexed) {
            std::uint8_t* out = rowAddress(firstRow, y, cropHeight, stride);
            for (int x = 0; x < cropWidth; ++x) {
                out[3 * x] = line[3 * x + 2];
                out[3 * x + 1] = line[3 * x + 1];
                out[3 * x + 2] = line[3 * x];
            }
        }
        if (!report(1, y + 1 == cropHeight)) return DECO32_STOPPED;
    }
    if (!indexed) return 0;

    int usable = count_ - first_;
    int colors = colors_ == 0 ? usable
                              : static_cast<int>(std::min<std::uint32_t>(
                                    colors_, static_cast<std::uint32_t>(usable)));
    palette_ = fixedPalette_ ? standardPalette(count_)
                             : adaptivePalette(rgb.data(), rgb.size() / 3, std::max(colors, 1),
                                               histogramBits_);
    if (static_cast<int>(palette_.size()) > usable)
        palette_.resize(static_cast<std::size_t>(usable));
    IndexMapper mapper(palette_, first_, dither_, weights_, cropWidth);
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(cropWidth));
    for (int y = 0; y < cropHeight; ++y) {
        mapper.mapRow(&rgb[3 * static_cast<std::size_t>(y) * cropWidth], indices.data());
        packIndices(indices.data(), cropWidth, depth, rowAddress(firstRow, y, cropHeight, stride));
    }
    return 0;
}

}  // namespace deco
