#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "deco/deco32.h"
#include "deco/fif_codec.h"
#include "deco/indexed_output.h"

namespace deco {

// What one decoder handle holds between ordinal calls. Every setter checks its
// arguments and returns false on a bad one, leaving the session as it was.
class DecoderSession {
  public:
    bool open(const std::uint8_t* data, std::uint32_t size);
    bool setTable(const std::uint8_t* data, std::uint32_t size);
    bool storedSize(std::int32_t& width, std::int32_t& height, std::int32_t& extra) const;
    bool setOutputSize(std::int32_t width, std::int32_t height);
    bool setOutputFormat(std::int32_t kind, std::int32_t redBits, std::int32_t greenBits,
                         std::int32_t blueBits, std::int32_t bottomUp);
    bool tableName(char* name) const;
    void setProgress(DecoProgress callback, std::int32_t mode);
    bool fastestSize(std::int32_t& width, std::int32_t& height) const;
    bool setDither(std::int32_t dither, std::int32_t red, std::int32_t green, std::int32_t blue);
    bool setPalette(std::uint32_t colors, std::int32_t first, std::int32_t count);
    bool useFixedPalette(std::int32_t which);
    bool colorTable(std::uint8_t* entries) const;

    // 0, DECO32_STOPPED, or 1 for any failure.
    std::int16_t decode(std::uint8_t* firstRow, std::int32_t cropX, std::int32_t cropY,
                        std::int32_t cropWidth, std::int32_t cropHeight, std::int32_t stride);

  private:
    std::uint8_t* rowAddress(std::uint8_t* firstRow, int y, int height, std::int32_t stride) const;
    bool report(int rowsDone, bool last);

    std::optional<FifPicture> picture_;
    std::optional<ContrastTable> table_;
    int outWidth_ = 0;
    int outHeight_ = 0;
    int kind_ = 0;
    std::array<int, 3> histogramBits_{5, 5, 5};
    bool bottomUp_ = true;
    bool dither_ = false;
    std::array<int, 3> weights_{1, 1, 1};
    std::uint32_t colors_ = 0;
    int first_ = 0;
    int count_ = 0;
    bool fixedPalette_ = false;
    std::vector<Rgb> palette_;  // of the last indexed decode
    DecoProgress progress_ = nullptr;
    int progressMode_ = 0;
    int unreported_ = 0;
};

}  // namespace deco
