#include "formats/tiff_lzw.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <new>

#include "engine/dib_layout.h"

namespace pm32 {
namespace {

constexpr unsigned kClearCode = 256;
constexpr unsigned kEndCode = 257;
constexpr unsigned kFirstFreeCode = 258;
constexpr unsigned kTableSize = 4096;
constexpr unsigned kMostCodeWidth = 12;
constexpr std::size_t kMostCodes = 24576;
// The encoder starts a new table once it has added this code.
constexpr unsigned kLastAddedCode = 4093;

// The width the encoder packs codes with: 9 bits after a clear code, one bit
// more each time the counter reaches the next power of two. The counter runs
// one ahead of the decoder's next free table entry, which makes the switch
// one code earlier than GIF's; the decoder keeps the same rule by that entry.
class CodeWidth {
  public:
    unsigned bits() const { return width_; }

    void after(unsigned code) {
        if (code == kClearCode) {
            width_ = 9;
            counter_ = kFirstFreeCode;
            return;
        }
        if (++counter_ == 1u << width_) ++width_;
    }

  private:
    unsigned width_ = 9;
    unsigned counter_ = kFirstFreeCode;
};

// Packs codes most significant bit first into a fixed output area.
class CodePacker {
  public:
    CodePacker(std::uint8_t* out, std::size_t capacity) : out_(out), capacity_(capacity) {}

    void put(unsigned code) {
        bits_ = bits_ << width_.bits() | code;
        held_ += width_.bits();
        while (held_ >= 8) {
            held_ -= 8;
            if (size_ == capacity_) {
                overflow_ = true;
                return;
            }
            out_[size_++] = static_cast<std::uint8_t>(bits_ >> held_);
        }
        width_.after(code);
    }

    // Pads the last code to a whole byte and the stream to whole 16-bit words;
    // false when the codes did not fit.
    bool finish() {
        if (held_ > 0) put8(static_cast<std::uint8_t>(bits_ << (8 - held_)));
        if (size_ % 2 != 0) put8(0);
        return !overflow_;
    }

    std::size_t size() const { return size_; }

  private:
    void put8(std::uint8_t byte) {
        if (size_ == capacity_) {
            overflow_ = true;
            return;
        }
        out_[size_++] = byte;
    }

    std::uint8_t* out_;
    std::size_t capacity_;
    std::size_t size_ = 0;
    std::uint32_t bits_ = 0;
    unsigned held_ = 0;
    CodeWidth width_;
    bool overflow_ = false;
};

// Reads codes most significant bit first. The unread bits sit at the top of
// a 64-bit word, refilled eight bytes at a time while the input lasts; a
// refill may bring in part of a byte again, which ORs onto the same bits.
class CodeReader {
  public:
    explicit CodeReader(std::span<const std::uint8_t> in) : in_(in.data()), size_(in.size()) {}

    // The next code of the width (at most 12 bits), or -1 when the input ends
    // first or the stream runs past the most codes a strip may hold.
    int read(unsigned width) {
        if (held_ < width) {
            if (size_ - taken_ >= 8) {
                std::uint64_t word = 0;
                for (int i = 0; i < 8; ++i) word = word << 8 | in_[taken_ + i];
                bits_ |= word >> held_;
                taken_ += (63 - held_) >> 3;
                held_ |= 56;
            } else {
                while (held_ < width) {
                    if (taken_ == size_) return -1;
                    bits_ |= std::uint64_t{in_[taken_++]} << (56 - held_);
                    held_ += 8;
                }
            }
        }
        if (++codes_ > kMostCodes) return -1;
        const auto code = static_cast<int>(bits_ >> (64 - width));
        bits_ <<= width;
        held_ -= width;
        return code;
    }

  private:
    const std::uint8_t* in_;
    std::size_t size_;
    std::size_t taken_ = 0;
    std::uint64_t bits_ = 0;
    unsigned held_ = 0;
    std::size_t codes_ = 0;
};

// Every byte value, with room to read eight bytes from any of them: the
// strings of single-byte codes.
constexpr auto kByteValues = [] {
    std::array<std::uint8_t, 256 + 8> values{};
    for (unsigned i = 0; i < 256; ++i) values[i] = static_cast<std::uint8_t>(i);
    return values;
}();

}  // namespace

std::size_t TiffLzwDecode(std::span<const std::uint8_t> compressed,
                          std::span<std::uint8_t> output) {
    // A code's string is a stretch of bytes already known: the single byte of
    // codes below 256, else an earlier stretch of the output.
    struct Entry {
        const std::uint8_t* start;
        std::size_t length;
    };
    Entry table[kTableSize];
    for (unsigned i = 0; i < 256; ++i) table[i] = {&kByteValues[i], 1};

    CodeReader reader(compressed);
    std::uint8_t* const out = output.data();
    const std::size_t room = output.size();
    std::size_t produced = 0;

    if (reader.read(9) != kClearCode) return 0;
    // Each pass is one table's life, from a clear code to the next.
    for (;;) {
        unsigned width = 9;
        unsigned next = kFirstFreeCode;
        if (produced == room) return produced;
        const int first = reader.read(width);
        if (first == kEndCode) return produced;
        // After a clear code comes a single byte.
        if (first < 0 || first >= 256) return 0;
        const std::uint8_t* previous = out + produced;
        std::size_t previousLength = 1;
        out[produced++] = static_cast<std::uint8_t>(first);

        // Once the output is full the rest of the stream is not needed.
        while (produced < room) {
            const int read = reader.read(width);
            if (read < 0) return 0;
            const auto code = static_cast<unsigned>(read);
            Entry string;
            if (code < next && code - kClearCode > 1) {
                string = table[code];
            } else if (code == next) {
                // The code being defined: the previous string and its own first byte.
                string = {previous, previousLength + 1};
            } else if (code == kClearCode) {
                break;
            } else if (code == kEndCode) {
                return produced;
            } else {
                return 0;
            }
            std::uint8_t* const at = out + produced;
            if (room - produced >= string.length + 8) {
                // Strings end before the output does, so copying forward in
                // 8-byte pieces reads every wanted byte before a store can
                // reach it; the pieces may run past the string into the room.
                for (std::size_t done = 0; done < string.length; done += 8) {
                    std::uint64_t piece;
                    std::memcpy(&piece, string.start + done, 8);
                    std::memcpy(at + done, &piece, 8);
                }
                if (code == next) at[previousLength] = previous[0];
                produced += string.length;
            } else {
                const std::size_t kept = std::min(string.length, room - produced);
                if (code == next) {
                    std::memmove(at, previous, std::min(kept, previousLength));
                    if (kept > previousLength) at[previousLength] = previous[0];
                } else {
                    std::memmove(at, string.start, kept);
                }
                produced += kept;
            }
            table[next++] = {previous, previousLength + 1};
            previous = at;
            previousLength = string.length;
            // The counter of the width rule runs one ahead of the next free
            // entry; a table that would grow past 4095 entries without a
            // clear code ends the stream.
            if (next + 1 == 1u << width && ++width > kMostCodeWidth) return 0;
        }
        if (produced == room) return produced;
    }
}

std::size_t TiffLzwWorstCase(std::size_t rawBytes) {
    // Codes counted as a table's life: 254 of 9 bits, 512 of 10, 1024 of 11,
    // 2048 of 12 and a clear code of 12; 19 bits cover the end.
    constexpr std::size_t kRuns[] = {254, 512, 1024, 2048};
    constexpr std::size_t kCodesPerTable = 254 + 512 + 1024 + 2048;
    constexpr std::uint64_t kBitsPerTable = 254 * 9 + 512 * 10 + 1024 * 11 + 2048 * 12 + 12;

    auto bits = checkedMultiply(rawBytes / kCodesPerTable, kBitsPerTable);
    if (!bits) return std::numeric_limits<std::size_t>::max();
    std::uint64_t total = *bits + 19;
    std::size_t rest = rawBytes % kCodesPerTable;
    if (rest > 0) total += 12;
    for (unsigned i = 0; i < 4 && rest > 0; ++i) {
        std::size_t take = std::min(rest, kRuns[i]);
        total += take * (9 + i);
        rest -= take;
    }
    return static_cast<std::size_t>(total / 8);
}

ErrorNumber TiffLzwEncode(std::span<const std::uint8_t> raw, std::size_t bufferBytes,
                          TiffLzwOutput& out) {
    std::size_t worst = TiffLzwWorstCase(bufferBytes);
    if (worst > kTiffLzwMostEstimate) return err::OperationFailure;
    // Room for the worst case, padded to whole 16-bit words.
    std::size_t capacity = worst + worst % 2;
    if (out.capacity_ < capacity) {
        out.data_.reset(new (std::nothrow) std::uint8_t[capacity]);
        out.capacity_ = out.data_ ? capacity : 0;
        if (!out.data_) return err::OutOfMemory;
    }
    out.size_ = 0;
    if (!out.dictionary_) {
        out.dictionary_.reset(new (std::nothrow) LzwDictionary<8>);
        if (!out.dictionary_) return err::OutOfMemory;
    }
    LzwDictionary<8>& dictionary = *out.dictionary_;
    dictionary.Clear();

    CodePacker packer(out.data_.get(), out.capacity_);
    packer.put(kClearCode);

    bool pending = !raw.empty();
    unsigned current = pending ? raw[0] : 0;
    unsigned next = kFirstFreeCode;
    for (std::size_t i = 1; i < raw.size(); ++i) {
        const std::uint8_t byte = raw[i];
        if (const unsigned code = dictionary.Find(current, byte)) {
            current = code;
            continue;
        }
        packer.put(current);
        dictionary.Add(current, byte, next);
        if (next == kLastAddedCode) {
            packer.put(byte);
            dictionary.Clear();
            packer.put(kClearCode);
            next = kFirstFreeCode;
            pending = ++i < raw.size();
            if (pending) current = raw[i];
            continue;
        }
        ++next;
        current = byte;
    }
    if (pending) packer.put(current);
    packer.put(kEndCode);
    if (!packer.finish()) return err::OperationFailure;
    out.size_ = packer.size();
    return 0;
}

}  // namespace pm32
