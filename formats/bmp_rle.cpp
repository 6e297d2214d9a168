#include "formats/bmp_rle.h"

#include <algorithm>
#include <cstring>

#include "engine/diagnostics.h"
#include "formats/diagnostic_locations.h"

namespace pm32 {
namespace {

// Writes into the current row; bytes past its end are dropped so a run can
// never leave the row.
class RowCursor {
  public:
    RowCursor(std::uint8_t* firstRow, std::size_t rowBytes) : row_(firstRow), rowBytes_(rowBytes) {}

    void repeat(std::uint8_t value, std::size_t count) {
        std::size_t n = std::min(count, rowBytes_ - x_);
        std::memset(row_ + x_, value, n);
        x_ += n;
    }
    void put(std::uint8_t value) {
        if (x_ < rowBytes_) row_[x_++] = value;
    }
    void nextRow() {
        row_ += rowBytes_;
        x_ = 0;
    }

  private:
    std::uint8_t* row_;
    std::size_t rowBytes_;
    std::size_t x_ = 0;
};

// Reads count literal bytes into the row; false when the stream ends first.
bool copyLiterals(EngineFile& file, RowCursor& cursor, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        int value = file.ReadByte();
        if (value < 0) return false;
        cursor.put(static_cast<std::uint8_t>(value));
    }
    return true;
}

// An absolute run of n pixels: its data bytes, then a pad byte that keeps
// the stream on a 16-bit boundary.
bool absoluteRun(EngineFile& file, BmpRle kind, RowCursor& cursor, std::size_t n) {
    std::size_t dataBytes = n;
    if (kind == BmpRle::EightBit) {
        if (!copyLiterals(file, cursor, n)) return false;
    } else {
        dataBytes = (n + 1) / 2;
        if (!copyLiterals(file, cursor, n / 2)) return false;
        if (n % 2 != 0) {
            int last = file.ReadByte();
            if (last < 0) return false;
            cursor.put(static_cast<std::uint8_t>(last & 0xF0));
        }
    }
    return dataBytes % 2 == 0 || file.ReadByte() >= 0;
}

}  // namespace

ErrorNumber DecodeBmpRle(EngineFile& file, BmpRle kind, std::uint8_t* pixels, std::size_t rowBytes,
                         std::size_t rows) {
    RowCursor cursor(pixels, rowBytes);
    for (std::size_t row = 0; row < rows;) {
        int count = file.ReadByte();
        int code = file.ReadByte();
        // A stream that ends before its last row is a truncated file.
        if (count < 0 || code < 0) return err::BadFile;
        if (count > 0) {
            auto n = static_cast<std::size_t>(count);
            cursor.repeat(static_cast<std::uint8_t>(code), kind == BmpRle::EightBit ? n : n / 2);
            continue;
        }
        switch (code) {
            case 0:
                cursor.nextRow();
                ++row;
                break;
            case 1:
                return 0;
            case 2:
                return reportFailure(err::BadFile, location::BmpRleEscape);
            default:
                if (!absoluteRun(file, kind, cursor, static_cast<std::size_t>(code)))
                    return err::BadFile;
                break;
        }
    }
    return 0;
}

}  // namespace pm32
