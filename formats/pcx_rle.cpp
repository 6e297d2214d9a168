#include "formats/pcx_rle.h"

#include <algorithm>
#include <cstring>

namespace pm32 {
namespace {

constexpr std::uint8_t kCountMark = 0xC0;
constexpr std::uint8_t kCountBits = 0x3F;
constexpr std::size_t kLongestRun = 63;

}  // namespace

bool DecodePcxLine(EngineFile& file, std::span<std::uint8_t> line) {
    std::size_t done = 0;
    while (done < line.size()) {
        int code = file.ReadByte();
        if (code < 0) return false;
        if ((code & kCountMark) != kCountMark) {
            line[done++] = static_cast<std::uint8_t>(code);
            continue;
        }
        int value = file.ReadByte();
        if (value < 0) return false;
        std::size_t count = std::min<std::size_t>(code & kCountBits, line.size() - done);
        std::memset(line.data() + done, value, count);
        done += count;
    }
    return true;
}

// A run of L equal bytes is coded as a count of L - 1 and the value; its last
// byte starts the next step, so three equal bytes come out as 0xC2 v v. The
// bytes past the line's end count as different from everything.
std::size_t EncodePcxLine(std::span<const std::uint8_t> line, std::uint8_t* out) {
    const std::size_t n = line.size();
    std::size_t written = 0;
    std::size_t i = 0;
    while (i < n) {
        std::uint8_t value = line[i];
        if (i + 1 < n && line[i + 1] == value) {
            std::size_t count = 0;
            while (count + i < n && count < kLongestRun) {
                std::size_t next = i + count + 1;
                ++count;
                if (next + 1 >= n || line[next] != line[next + 1]) break;
            }
            out[written++] = static_cast<std::uint8_t>(kCountMark + count);
            out[written++] = value;
            i += count;
            continue;
        }
        if (value >= kCountMark) out[written++] = kCountMark + 1;
        out[written++] = value;
        ++i;
    }
    return written;
}

}  // namespace pm32
