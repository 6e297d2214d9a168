#pragma once

#include <algorithm>
#include <bit>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

#include "formats/lzw_dictionary.h"

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

// Eight bytes as a little-endian word, in one load.
inline std::uint64_t loadLe64(const std::uint8_t* at) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
    return word;
}
}  // namespace lzw

// A pixel sink that lends the decoder room in its current row, so strings
// are written straight into place: Space gives where the next pixels go and
// how many fit (at least one), Commit takes that many written pixels, or
// fewer, and returns 0 to go on or a negative status. The decoder may write
// several strings before it commits them together; it commits whatever it
// wrote before it returns.
template <class Sink>
concept GifRowSink = requires(Sink& sink, int& room, int count) {
    { sink.Space(room) } -> std::same_as<std::uint8_t*>;
    { sink.Commit(count) } -> std::same_as<int>;
};

// A byte source that can also hand out a stretch of bytes at once: Take
// gives up to `most` bytes, fewer only when no more follow, and the call
// after that returns the source's status.
template <class Source>
concept GifBulkSource = requires(Source& source, std::size_t most) {
    { source.Take(most) } -> std::same_as<std::span<const std::uint8_t>>;
};

// The engine's GIF LZW decoder. Run pulls bytes (the code-size byte, then
// data sub-blocks) from source, an `int()` callable returning 0..255 or a
// negative status (a GifBulkSource as well, ideally), and hands the decoded
// pixels to sink: a GifRowSink, or an `int(std::uint8_t)` callable taking
// one pixel and returning 0 to go on or a negative status. Both are called
// directly, never through a virtual call, so a pixel costs no more than the
// sink's own work.
class GifLzwDecoder {
  public:
    template <class Source, class Sink>
    int Run(Source& source, Sink& sink);

  private:
    static constexpr int kPiece = 8;
    static constexpr std::size_t kWindowBytes = 4096;
    // A string is kept as its last piece of 1 to 8 pixels and the code of
    // the string before that piece, whose length is a whole number of
    // pieces; so a string is written back to front a piece at a time, each
    // piece with one 8-byte store.
    struct Tables {
        std::uint8_t pieces[lzw::kMaxCodes][kPiece];
        std::uint16_t prefixes[lzw::kMaxCodes];
        std::uint16_t lengths[lzw::kMaxCodes];
        // Room for a string that has no place of its own yet, and for the
        // last piece reaching past its end.
        std::uint8_t spare[lzw::kMaxCodes + kPiece];
        // The sub-block data, joined, and zeros so a whole word can be
        // loaded at any byte of it.
        std::uint8_t window[kWindowBytes + kPiece];
    };
    static constexpr int kNoCode = -1;

    bool allocateTables();
    void start(int clear);

    // Moves the `kept` unread bytes at the end of the window to its front and
    // tops the window up from the sub-blocks; returns the bytes it now holds.
    template <class Source>
    std::size_t refill(Source& source, const std::uint8_t* unread, std::size_t kept);

    // Writes the string of code back to front from out + length; the last
    // piece may reach up to 7 bytes past it.
    static void writeString(const Tables& tables, int code, std::uint8_t* out);
    // Makes code the string of prefix followed by pixel.
    static void addEntry(Tables& tables, int code, int prefix, std::uint8_t pixel);

    std::unique_ptr<Tables> tables_;
    std::size_t blockLeft_ = 0;  // bytes left in the current sub-block
    // Why refilling stopped: 0 while data may follow, else the source's
    // status or kOutOfData after the terminating empty sub-block.
    int dataEnd_ = 0;
};

// Where the decoder writes strings: straight into the room a GifRowSink
// lends when they fit with the overreach of their last piece, else into the
// spare room and then across as many rows as they reach. A plain pixel sink
// takes every string from the spare room, pixel by pixel.
template <class Sink>
class GifStringOutput {
  public:
    GifStringOutput(Sink& sink, std::uint8_t* spare) : sink_(sink), spare_(spare) {
        if constexpr (GifRowSink<Sink>) space_ = sink_.Space(room_);
    }

    // Where a string of length pixels goes: room for length + 7 bytes.
    std::uint8_t* place(int length) {
        if constexpr (GifRowSink<Sink>) {
            if (room_ - used_ >= length + 7) return space_ + used_;
        }
        return spare_;
    }

    // Hands over the string written at `at`; 0 or the sink's status.
    int take(const std::uint8_t* at, int length) {
        if constexpr (GifRowSink<Sink>) {
            if (at != spare_) {
                used_ += length;
                return 0;
            }
            while (length > 0) {
                const int count = length < room_ - used_ ? length : room_ - used_;
                std::memcpy(space_ + used_, at, static_cast<std::size_t>(count));
                at += count;
                length -= count;
                used_ += count;
                if (used_ == room_) {
                    used_ = 0;
                    if (int status = sink_.Commit(room_)) return status;
                    space_ = sink_.Space(room_);
                }
            }
        } else {
            for (int i = 0; i < length; ++i) {
                if (int status = sink_(at[i])) return status;
            }
        }
        return 0;
    }

    // Commits what was written and not yet handed over, then ends with result
    // unless the sink has a status of its own.
    int finish(int result) {
        if constexpr (GifRowSink<Sink>) {
            if (used_ > 0) {
                const int count = used_;
                used_ = 0;
                if (int status = sink_.Commit(count)) return status;
            }
        }
        return result;
    }

  private:
    Sink& sink_;
    std::uint8_t* spare_;
    std::uint8_t* space_ = nullptr;
    int room_ = 0;
    int used_ = 0;
};

// A byte sink that also writes a stretch of bytes at once: Write returns 0
// or lzw::kWriteFailed.
template <class Sink>
concept GifBulkByteSink = requires(Sink& sink, const std::uint8_t* bytes, std::size_t count) {
    { sink.Write(bytes, count) } -> std::same_as<int>;
};

// Packs codes LSB first into data sub-blocks: once 2032 bits wait, their
// whole bytes (254 or 255) go out as one sub-block. Bytes go to sink, an
// `int(std::uint8_t)` callable returning 0 or lzw::kWriteFailed, and a
// GifBulkByteSink takes each sub-block whole.
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

    // Moves the whole bytes of the bit accumulator behind the waiting ones.
    void settleBytes();
    // Writes the first count waiting bytes as one sub-block.
    template <class ByteSink>
    void writeSubBlock(ByteSink& sink, int count);
    void noteFailedWrite();

    // The sub-block being gathered: its length byte, then the whole bytes
    // waiting (up to 256), with room for a 4-byte store past them.
    std::uint8_t block_[1 + 256 + 4] = {};
    int byteCount_ = 0;
    std::uint64_t partial_ = 0;  // bits not yet moved to whole bytes, fewer than 32
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
    bool allocateDictionary();
    void noteBadPixel();

    // Pixels of up to 9 bits, for minimum code sizes up to 9.
    using Dictionary = LzwDictionary<9>;
    std::unique_ptr<Dictionary> dictionary_;
    GifCodePacker packer_;
};

template <class Source>
std::size_t GifLzwDecoder::refill(Source& source, const std::uint8_t* unread, std::size_t kept) {
    std::uint8_t* const window = tables_->window;
    std::memmove(window, unread, kept);
    std::size_t filled = kept;
    while (filled < kWindowBytes && dataEnd_ == 0) {
        if (blockLeft_ == 0) {
            const int length = source();
            if (length <= 0) {
                dataEnd_ = length < 0 ? length : lzw::kOutOfData;
                break;
            }
            blockLeft_ = static_cast<std::size_t>(length);
        }
        if constexpr (GifBulkSource<Source>) {
            const std::size_t most = std::min(blockLeft_, kWindowBytes - filled);
            const std::span<const std::uint8_t> bytes = source.Take(most);
            if (!bytes.empty()) std::memcpy(window + filled, bytes.data(), bytes.size());
            filled += bytes.size();
            blockLeft_ -= bytes.size();
            if (bytes.size() < most) {
                const int status = source();
                dataEnd_ = status < 0 ? status : lzw::kOutOfData;
            }
        } else {
            const int byte = source();
            if (byte < 0) {
                dataEnd_ = byte;
                break;
            }
            window[filled++] = static_cast<std::uint8_t>(byte);
            --blockLeft_;
        }
    }
    std::memset(window + filled, 0, kPiece);
    return filled;
}

inline void GifLzwDecoder::writeString(const Tables& tables, int code, std::uint8_t* out) {
    const int length = tables.lengths[code];
    std::uint8_t* piece = out + length - ((length - 1) & (kPiece - 1)) - 1;
    std::memcpy(piece, tables.pieces[code], kPiece);
    code = tables.prefixes[code];
    while (piece != out) {
        piece -= kPiece;
        std::memcpy(piece, tables.pieces[code], kPiece);
        code = tables.prefixes[code];
    }
}

inline void GifLzwDecoder::addEntry(Tables& tables, int code, int prefix, std::uint8_t pixel) {
    const int length = tables.lengths[prefix];
    const int filled = length & (kPiece - 1);
    // A full last piece starts a new one, behind the whole prefix string.
    std::memcpy(tables.pieces[code], tables.pieces[prefix], kPiece);
    tables.pieces[code][filled] = pixel;
    tables.prefixes[code] =
        static_cast<std::uint16_t>(filled != 0 ? tables.prefixes[prefix] : prefix);
    tables.lengths[code] = static_cast<std::uint16_t>(length + 1);
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

    Tables& tables = *tables_;
    GifStringOutput<Sink> output(sink, tables.spare);
    const int end = clear + 1;
    const int firstFree = clear + 2;
    int codeSize = minCodeSize + 1;
    int limit = 1 << codeSize;
    int next = firstFree;
    int previous = kNoCode;
    int first = 0;  // the first pixel of the previous string

    // Codes are read LSB first from a 64-bit word holding `held` unread
    // bits, refilled a whole word at a time while the window lasts; the bits
    // above `held` are the start of the byte at `at`, which the next refill
    // puts in the same place again.
    const std::uint8_t* at = tables.window;
    const std::uint8_t* windowEnd = at;
    std::uint64_t bits = 0;
    int held = 0;
    for (;;) {
        if (held < codeSize) {
            if (windowEnd - at >= kPiece) {
                bits |= lzw::loadLe64(at) << held;
                at += (63 - held) >> 3;
                held |= 56;
            } else {
                while (held <= 56 && at != windowEnd) {
                    bits |= std::uint64_t{*at++} << held;
                    held += 8;
                }
                // Codes are taken only from bytes the source delivered; when
                // they run out, decoding ends with the reason refilling stopped.
                if (held < codeSize) {
                    if (dataEnd_ != 0) return output.finish(dataEnd_);
                    const std::size_t kept = static_cast<std::size_t>(windowEnd - at);
                    windowEnd = tables.window + refill(source, at, kept);
                    at = tables.window;
                    continue;
                }
            }
        }
        const int code = static_cast<int>(bits & ((1u << codeSize) - 1));
        bits >>= codeSize;
        held -= codeSize;

        if (code == clear) {
            codeSize = minCodeSize + 1;
            limit = 1 << codeSize;
            next = firstFree;
            previous = kNoCode;
            continue;
        }
        if (code == end) return output.finish(lzw::kDone);
        // The first code of the stream or after a clear is a single pixel;
        // after that, only the entry about to be made may be named before
        // it exists, and it is the previous string and its first pixel.
        if (previous == kNoCode) {
            if (code > clear) return output.finish(lzw::kUndefinedCode);
            std::uint8_t* out = output.place(1);
            *out = tables.pieces[code][0];
            first = *out;
            if (int status = output.take(out, 1)) return status;
            previous = code;
            continue;
        }
        if (code > next) return output.finish(lzw::kUndefinedCode);
        const bool pending = code == next;
        if (pending) addEntry(tables, next, previous, static_cast<std::uint8_t>(first));
        const int length = tables.lengths[code];
        std::uint8_t* out = output.place(length);
        writeString(tables, code, out);
        first = *out;
        if (int status = output.take(out, length)) return status;

        if (!pending) {
            if (next == limit && codeSize == lzw::kMaxCodeBits)
                return output.finish(lzw::kTableFull);
            addEntry(tables, next, previous, static_cast<std::uint8_t>(first));
        }
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
void GifCodePacker::writeSubBlock(ByteSink& sink, int count) {
    block_[0] = static_cast<std::uint8_t>(count);
    if constexpr (GifBulkByteSink<ByteSink>) {
        if (sink.Write(block_, static_cast<std::size_t>(count) + 1) != 0) noteFailedWrite();
    } else {
        for (int i = 0; i <= count; ++i) PutByte(sink, block_[i]);
    }
}

inline void GifCodePacker::settleBytes() {
    while (partialBits_ >= 8) {
        block_[1 + byteCount_++] = static_cast<std::uint8_t>(partial_);
        partial_ >>= 8;
        partialBits_ -= 8;
    }
}

template <class ByteSink>
inline void GifCodePacker::Put(ByteSink& sink, int code, int width) {
    if (byteCount_ * 8 + partialBits_ >= kFlushBits) {
        settleBytes();
        writeSubBlock(sink, byteCount_);
        byteCount_ = 0;
    }
    partial_ |= static_cast<std::uint64_t>(code) << partialBits_;
    partialBits_ += width;
    if (partialBits_ >= 32) {
        std::uint8_t* at = block_ + 1 + byteCount_;
        for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(partial_ >> (8 * i));
        byteCount_ += 4;
        partial_ >>= 32;
        partialBits_ -= 32;
    }
}

template <class ByteSink>
void GifCodePacker::Finish(ByteSink& sink) {
    settleBytes();
    if (partialBits_ > 0) {
        block_[1 + byteCount_++] = static_cast<std::uint8_t>(partial_);
        partial_ = 0;
        partialBits_ = 0;
    }
    // Up to 2043 bits can wait, one byte more than a sub-block holds.
    if (byteCount_ > 0) writeSubBlock(sink, std::min(byteCount_, kMaxSubBlock));
    if (byteCount_ > kMaxSubBlock) {
        const int rest = byteCount_ - kMaxSubBlock;
        std::memmove(block_ + 1, block_ + 1 + kMaxSubBlock, static_cast<std::size_t>(rest));
        writeSubBlock(sink, rest);
    }
    byteCount_ = 0;
    PutByte(sink, 0);
}

// As in the decoder, the hot state lives in locals.
template <class PixelSource, class ByteSink>
int GifLzwEncoder::Run(int minCodeSize, PixelSource& source, ByteSink& sink) {
    if (minCodeSize == 1) minCodeSize = 2;
    if (minCodeSize < 2 || minCodeSize > 9) return lzw::kBadCodeSize;
    if (!allocateDictionary()) return lzw::kNoMemory;
    const int clear = 1 << minCodeSize;
    const int end = clear + 1;
    const int pixelMask = clear - 1;
    int codeSize = minCodeSize + 1;
    int limit = 1 << codeSize;
    int next = clear + 2;
    packer_.Reset();
    packer_.PutByte(sink, static_cast<std::uint8_t>(minCodeSize));
    packer_.Put(sink, clear, codeSize);

    Dictionary& dictionary = *dictionary_;
    dictionary.Clear();
    int prefix = -1;  // none before the first pixel
    // Extends the current string by one pixel, or emits its code and starts
    // the next string with the pixel.
    auto add = [&](int pixel) {
        if (prefix < 0) {
            prefix = pixel;
            return;
        }
        const unsigned code =
            dictionary.Find(static_cast<unsigned>(prefix), static_cast<unsigned>(pixel));
        if (code != 0) {
            prefix = static_cast<int>(code);
            return;
        }
        packer_.Put(sink, prefix, codeSize);
        const int assigned = next;
        if (next < lzw::kMaxCodes) {
            dictionary.Add(static_cast<unsigned>(prefix), static_cast<unsigned>(pixel),
                           static_cast<unsigned>(next));
            ++next;
        }
        if (assigned == limit) {
            if (codeSize == lzw::kMaxCodeBits) {
                packer_.Put(sink, clear, codeSize);
                codeSize = minCodeSize + 1;
                limit = 1 << codeSize;
                next = clear + 2;
                dictionary.Clear();
            } else {
                limit <<= 1;
                ++codeSize;
            }
        }
        prefix = pixel;
    };

    if constexpr (GifRunSource<PixelSource>) {
        int count = 0;
        while (const std::uint8_t* run = source.Pixels(count)) {
            for (int i = 0; i < count; ++i) add(run[i] & pixelMask);
        }
    } else {
        for (;;) {
            const int pixel = source();
            if (pixel < 0) {
                if (pixel != lzw::kEndOfPixels) noteBadPixel();
                break;
            }
            add(pixel & pixelMask);
        }
    }
    if (prefix >= 0) {
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
