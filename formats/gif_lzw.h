#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace pm32 {

// Results of the LZW coder. Sources and sinks stop a run with a negative
// status of their own, which the run hands back unchanged.
namespace lzw {
inline constexpr int kDone = 0;
inline constexpr int kNoMemory = -2;
inline constexpr int kBadCodeSize = -3;
inline constexpr int kTableFull = -4;      // decoder: a code arrived with all 4096 entries in use
inline constexpr int kWriteFailed = -4;    // encoder's byte sink: the byte was not written
inline constexpr int kTooManyRows = -5;    // pixel sink: more rows than the image has
inline constexpr int kOutOfData = -6;      // byte source: nothing left
inline constexpr int kStopped = -7;        // pixel sink: the progress callback cancelled
inline constexpr int kUndefinedCode = -8;  // decoder: a code that names no string yet
inline constexpr int kEndOfPixels = -1;    // encoder's pixel source: the image is done

inline constexpr int kMaxCodeBits = 12;
inline constexpr int kMaxCodes = 1 << kMaxCodeBits;
}  // namespace lzw

// A pixel sink that lends the decoder room in its current row, so strings
// are written straight into place: Space gives where the next pixels go and
// how many fit (at least one), Commit takes that many written pixels and
// returns 0 to go on or a negative status.
template <class Sink>
concept GifRowSink = requires(Sink& sink, int& room, int count) {
    { sink.Space(room) } -> std::same_as<std::uint8_t*>;
    { sink.Commit(count) } -> std::same_as<int>;
};

// The engine's GIF LZW decoder. Run pulls bytes (the code-size byte, then
// data sub-blocks) from source, an `int()` callable returning 0..255 or a
// negative status, and hands the decoded pixels to sink: a GifRowSink, or an
// `int(std::uint8_t)` callable taking one pixel and returning 0 to go on or
// a negative status. Both are called directly, never through a virtual
// call, so a pixel costs no more than the sink's own work.
class GifLzwDecoder {
  public:
    template <class Source, class Sink>
    int Run(Source& source, Sink& sink);

  private:
    // Each entry knows its string's length, so the string can be written
    // from its last pixel backwards straight into its place.
    struct Entry {
        std::uint16_t prefix;
        std::uint16_t length;
        std::uint8_t suffix;
    };
    // The code table, and room for a string that has no place of its own
    // yet. No string is longer than the table.
    struct Tables {
        Entry entries[lzw::kMaxCodes];
        std::uint8_t string[lzw::kMaxCodes];
    };
    static constexpr int kWindowBytes = 64;
    // Refill once fewer than 25 bits are unread, so a code of up to 12 bits
    // always lies inside the window.
    static constexpr int kRefillAfterBit = 487;
    static constexpr int kNoCode = -1;

    bool allocateTables();
    void start(int clear);

    // Moves the unread bytes to the front and tops the window up from the
    // sub-blocks; returns the new bit position.
    template <class Source>
    int refill(Source& source, int bitPosition);

    template <class Sink>
    static int deliver(Sink& sink, const std::uint8_t* pixels, int count);

    std::unique_ptr<Tables> tables_;

    // The bit window over the sub-block data, read LSB first. Two bytes of
    // slack let a code be gathered with one three-byte load.
    std::uint8_t window_[kWindowBytes + 2] = {};
    int windowBits_ = 0;
    int blockLeft_ = 0;
    // Why refilling stopped: 0 while data may follow, else the source's
    // status or kOutOfData after the terminating empty sub-block.
    int dataEnd_ = 0;
};

// Packs codes LSB first into data sub-blocks: once 2032 bits wait, their
// whole bytes (254 or 255) go out as one sub-block. Bytes go to sink, an
// `int(std::uint8_t)` callable returning 0 or lzw::kWriteFailed.
class GifCodePacker {
  public:
    template <class ByteSink>
    void Put(ByteSink& sink, int code, int width);
    // A byte outside the sub-blocks (the code-size byte).
    template <class ByteSink>
    void PutByte(ByteSink& sink, std::uint8_t byte);
    // Writes what is left, then the empty sub-block that ends the data.
    template <class ByteSink>
    void Finish(ByteSink& sink);

    void Reset();
    // Whether any byte failed to go out since the last reset.
    bool WriteFailed() const { return writeFailed_; }

  private:
    static constexpr int kFlushBits = 2032;
    static constexpr int kMaxSubBlock = 255;

    template <class ByteSink>
    void writeSubBlock(ByteSink& sink, const std::uint8_t* bytes, int count);
    void noteFailedWrite();

    std::uint8_t bytes_[256] = {};  // whole bytes waiting for their sub-block
    int byteCount_ = 0;
    std::uint32_t partial_ = 0;  // bits not yet making a whole byte
    int partialBits_ = 0;
    bool writeFailed_ = false;
};

// A pixel source that hands out whole runs of pixels (rows, say): Pixels
// gives the next run and its length, or null once the image is done.
template <class Source>
concept GifRunSource = requires(Source& source, int& count) {
    { source.Pixels(count) } -> std::same_as<const std::uint8_t*>;
};

// The engine's GIF LZW encoder. Run writes the code-size byte, the data
// sub-blocks and their terminator to sink (as GifCodePacker takes it),
// taking pixels from source: a GifRunSource, or an `int()` callable
// returning the next pixel index or lzw::kEndOfPixels.
class GifLzwEncoder {
  public:
    // 0, lzw::kNoMemory or lzw::kBadCodeSize. A failed byte write does not
    // end the run; WriteFailed tells the caller afterwards.
    template <class PixelSource, class ByteSink>
    int Run(int minCodeSize, PixelSource& source, ByteSink& sink);

    bool WriteFailed() const { return packer_.WriteFailed(); }

  private:
    struct Slot {
        std::uint16_t prefix;
        std::uint16_t code;  // 0: empty
        std::uint16_t suffix;
    };
    static constexpr int kHashSize = 5003;
    // Quadratic probing reaches only half the slots of a prime table; past
    // this many probes the search goes on linearly, which reaches them all.
    static constexpr int kQuadraticProbes = kHashSize / 2;

    bool allocateTable();
    void clearTable();
    void noteBadPixel();

    std::unique_ptr<Slot[]> hash_;
    GifCodePacker packer_;
};

template <class Source>
int GifLzwDecoder::refill(Source& source, int bitPosition) {
    int keep = bitPosition >> 3;
    int unread = (windowBits_ >> 3) - keep;
    if (unread < 0) unread = 0;
    for (int i = 0; i < unread; ++i) window_[i] = window_[keep + i];
    int filled = unread;
    while (filled < kWindowBytes && dataEnd_ == 0) {
        if (blockLeft_ == 0) {
            int length = source();
            if (length <= 0) {
                dataEnd_ = length < 0 ? length : lzw::kOutOfData;
                break;
            }
            blockLeft_ = length;
        }
        int byte = source();
        if (byte < 0) {
            dataEnd_ = byte;
            break;
        }
        window_[filled++] = static_cast<std::uint8_t>(byte);
        --blockLeft_;
    }
    for (int i = filled; i < kWindowBytes + 2; ++i) window_[i] = 0;
    windowBits_ = filled * 8;
    return bitPosition & 7;
}

// Hands over a string that was written outside the sink.
template <class Sink>
int GifLzwDecoder::deliver(Sink& sink, const std::uint8_t* pixels, int count) {
    if constexpr (GifRowSink<Sink>) {
        while (count > 0) {
            int room = 0;
            std::uint8_t* space = sink.Space(room);
            int take = count < room ? count : room;
            for (int i = 0; i < take; ++i) space[i] = pixels[i];
            pixels += take;
            count -= take;
            if (int status = sink.Commit(take)) return status;
        }
    } else {
        for (int i = 0; i < count; ++i) {
            if (int status = sink(pixels[i])) return status;
        }
    }
    return 0;
}

// The hot state lives in locals: pixel stores may alias anything, and
// members would be reloaded after each of them.
template <class Source, class Sink>
int GifLzwDecoder::Run(Source& source, Sink& sink) {
    if (!allocateTables()) return lzw::kNoMemory;
    const int minCodeSize = source();
    if (minCodeSize < 0) return minCodeSize;
    if (minCodeSize < 2 || minCodeSize > 9) return lzw::kBadCodeSize;
    const int clear = 1 << minCodeSize;
    start(clear);

    Entry* const table = tables_->entries;
    std::uint8_t* const spare = tables_->string;
    const int end = clear + 1;
    const int firstFree = clear + 2;
    int codeSize = minCodeSize + 1;
    int limit = 1 << codeSize;
    int next = firstFree;
    int previous = kNoCode;
    int first = 0;
    int bitPosition = kWindowBytes * 8;  // empty: the first code refills
    int windowBits = 0;
    for (;;) {
        if (bitPosition > kRefillAfterBit) {
            bitPosition = refill(source, bitPosition);
            windowBits = windowBits_;
        }
        // Codes are taken only from bytes the source delivered; when they
        // run out, decoding ends with the reason refilling stopped.
        if (bitPosition + codeSize > windowBits) return dataEnd_ != 0 ? dataEnd_ : lzw::kOutOfData;
        const std::uint8_t* at = window_ + (bitPosition >> 3);
        std::uint32_t bits = static_cast<std::uint32_t>(at[0]) |
                             static_cast<std::uint32_t>(at[1]) << 8 |
                             static_cast<std::uint32_t>(at[2]) << 16;
        const int code = static_cast<int>((bits >> (bitPosition & 7)) & ((1u << codeSize) - 1));
        bitPosition += codeSize;

        if (code == clear) {
            codeSize = minCodeSize + 1;
            limit = 1 << codeSize;
            next = firstFree;
            previous = kNoCode;
            continue;
        }
        if (code == end) return lzw::kDone;
        // The first code of the stream or after a clear is a single pixel;
        // after that, only the entry about to be made may be named before
        // it exists, and it is the previous string and its first pixel.
        const bool pending = code >= next;
        if (previous == kNoCode ? code > clear : code > next) return lzw::kUndefinedCode;
        const int length = pending ? table[previous].length + 1 : table[code].length;

        std::uint8_t* out = spare;
        bool inPlace = false;
        if constexpr (GifRowSink<Sink>) {
            int room = 0;
            std::uint8_t* space = sink.Space(room);
            if (length <= room) {
                out = space;
                inPlace = true;
            }
        }
        std::uint8_t* pixel = out + length;
        int current = code;
        if (pending) {
            *--pixel = static_cast<std::uint8_t>(first);
            current = previous;
        }
        while (current >= firstFree) {
            *--pixel = table[current].suffix;
            current = table[current].prefix;
        }
        *--pixel = static_cast<std::uint8_t>(current);
        first = current;
        int status = 0;
        if constexpr (GifRowSink<Sink>) {
            status = inPlace ? sink.Commit(length) : deliver(sink, out, length);
        } else {
            status = deliver(sink, out, length);
        }
        if (status != 0) return status;

        if (previous == kNoCode) {
            previous = code;
            continue;
        }
        if (next == limit && codeSize == lzw::kMaxCodeBits) return lzw::kTableFull;
        table[next].prefix = static_cast<std::uint16_t>(previous);
        table[next].suffix = static_cast<std::uint8_t>(first);
        table[next].length = static_cast<std::uint16_t>(table[previous].length + 1);
        ++next;
        previous = code;
        if (next == limit && codeSize < lzw::kMaxCodeBits) {
            ++codeSize;
            limit <<= 1;
        }
    }
}

template <class ByteSink>
inline void GifCodePacker::PutByte(ByteSink& sink, std::uint8_t byte) {
    if (sink(byte) != 0) noteFailedWrite();
}

template <class ByteSink>
void GifCodePacker::writeSubBlock(ByteSink& sink, const std::uint8_t* bytes, int count) {
    PutByte(sink, static_cast<std::uint8_t>(count));
    for (int i = 0; i < count; ++i) PutByte(sink, bytes[i]);
}

template <class ByteSink>
inline void GifCodePacker::Put(ByteSink& sink, int code, int width) {
    if (byteCount_ * 8 + partialBits_ >= kFlushBits) {
        writeSubBlock(sink, bytes_, byteCount_);
        byteCount_ = 0;
    }
    partial_ |= static_cast<std::uint32_t>(code) << partialBits_;
    partialBits_ += width;
    while (partialBits_ >= 8) {
        bytes_[byteCount_++] = static_cast<std::uint8_t>(partial_);
        partial_ >>= 8;
        partialBits_ -= 8;
    }
}

template <class ByteSink>
void GifCodePacker::Finish(ByteSink& sink) {
    if (partialBits_ > 0) {
        bytes_[byteCount_++] = static_cast<std::uint8_t>(partial_);
        partial_ = 0;
        partialBits_ = 0;
    }
    // Up to 2043 bits can wait, one byte more than a sub-block holds.
    for (int done = 0; done < byteCount_;) {
        int count = byteCount_ - done < kMaxSubBlock ? byteCount_ - done : kMaxSubBlock;
        writeSubBlock(sink, bytes_ + done, count);
        done += count;
    }
    byteCount_ = 0;
    PutByte(sink, 0);
}

// As in the decoder, the hot state lives in locals.
template <class PixelSource, class ByteSink>
int GifLzwEncoder::Run(int minCodeSize, PixelSource& source, ByteSink& sink) {
    if (minCodeSize == 1) minCodeSize = 2;
    if (minCodeSize < 2 || minCodeSize > 9) return lzw::kBadCodeSize;
    if (!allocateTable()) return lzw::kNoMemory;
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    const int pixelMask = clear - 1;
    int codeSize = minCodeSize + 1;
    int limit = 1 << codeSize;
    int next = clear + 2;
    clearTable();
    packer_.Reset();
    packer_.PutByte(sink, static_cast<std::uint8_t>(minCodeSize));
    packer_.Put(sink, clear, codeSize);

    const std::uint8_t* run = nullptr;
    int left = 0;
    auto nextPixel = [&]() -> int {
        if constexpr (GifRunSource<PixelSource>) {
            while (left == 0) {
                run = source.Pixels(left);
                if (run == nullptr) return lzw::kEndOfPixels;
            }
            --left;
            return *run++;
        } else {
            return source();
        }
    };

    Slot* const hash = hash_.get();
    int prefix = nextPixel();
    if (prefix < 0) {
        if (prefix != lzw::kEndOfPixels) noteBadPixel();
    } else {
        prefix &= pixelMask;
        for (;;) {
            int pixel = nextPixel();
            if (pixel < 0) {
                if (pixel != lzw::kEndOfPixels) noteBadPixel();
                break;
            }
            pixel &= pixelMask;
            int h = (prefix ^ (pixel << 5)) % kHashSize;
            int step = 1;
            for (int probes = 0;; ++probes) {
                Slot& slot = hash[h];
                if (slot.code == 0) {
                    packer_.Put(sink, prefix, codeSize);
                    const int assigned = next;
                    if (next < lzw::kMaxCodes) {
                        slot = {static_cast<std::uint16_t>(prefix),
                                static_cast<std::uint16_t>(next),
                                static_cast<std::uint16_t>(pixel)};
                        ++next;
                    }
                    if (assigned == limit) {
                        if (codeSize == lzw::kMaxCodeBits) {
                            packer_.Put(sink, clear, codeSize);
                            codeSize = minCodeSize + 1;
                            limit = 1 << codeSize;
                            next = clear + 2;
                            clearTable();
                        } else {
                            limit <<= 1;
                            ++codeSize;
                        }
                    }
                    prefix = pixel;
                    break;
                }
                if (slot.prefix == prefix && slot.suffix == pixel) {
                    prefix = slot.code;
                    break;
                }
                h += probes < kQuadraticProbes ? step : 1;
                step += 2;
                if (h >= kHashSize) h -= kHashSize;
            }
        }
        packer_.Put(sink, prefix, codeSize);
        // The decoder makes an entry for this last code too; when that fills
        // the code space it reads the end code one bit wider.
        if (next == limit && codeSize < lzw::kMaxCodeBits) ++codeSize;
    }
    packer_.Put(sink, end, codeSize);
    packer_.Finish(sink);
    return lzw::kDone;
}

}  // namespace pm32
