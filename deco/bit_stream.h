#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace deco {

// Most significant bit first, as the plane streams are written.
class BitWriter {
  public:
    void put(std::uint32_t value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            if (used_ == 0) bytes_.push_back(0);
            if ((value >> i) & 1) bytes_.back() |= static_cast<std::uint8_t>(0x80 >> used_);
            used_ = (used_ + 1) & 7;
        }
    }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
    int used_ = 0;  // bits of the last byte in use
};

// Reads a stream that may be short: past its end every read fails.
class BitReader {
  public:
    BitReader(const std::uint8_t* data, std::size_t size) : data_(data), bits_(size * 8) {}

    bool get(int bits, std::uint32_t& value) {
        if (bits_ - position_ < static_cast<std::size_t>(bits)) return false;
        value = 0;
        for (int i = 0; i < bits; ++i, ++position_)
            value = (value << 1) | ((data_[position_ >> 3] >> (7 - (position_ & 7))) & 1u);
        return true;
    }
    std::size_t bitsLeft() const { return bits_ - position_; }

  private:
    const std::uint8_t* data_;
    std::size_t bits_;
    std::size_t position_ = 0;
};

// Bits that number values 0 to count - 1.
inline int bitsFor(std::uint32_t count) {
    int bits = 0;
    while (bits < 32 && (std::uint64_t{1} << bits) < count) ++bits;
    return bits;
}

}  // namespace deco
