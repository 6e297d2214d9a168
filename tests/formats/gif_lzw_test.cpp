#include "formats/gif_lzw.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <random>
#include <utility>
#include <vector>

namespace pm32 {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Hands out bytes, then a status once they are used up.
struct ByteSource {
    const Bytes& bytes;
    std::size_t at = 0;
    int endStatus = lzw::kOutOfData;
    int operator()() { return at < bytes.size() ? bytes[at++] : endStatus; }
};

// Collects pixels; can stop the run after a given number.
struct PixelSink {
    Bytes pixels;
    std::size_t stopAfter = SIZE_MAX;
    int stopStatus = lzw::kStopped;
    int operator()(std::uint8_t pixel) {
        if (pixels.size() == stopAfter) return stopStatus;
        pixels.push_back(pixel);
        return 0;
    }
};

struct PixelSource {
    const Bytes& pixels;
    std::size_t at = 0;
    int operator()() { return at < pixels.size() ? pixels[at++] : lzw::kEndOfPixels; }
};

struct ByteSink {
    Bytes bytes;
    int operator()(std::uint8_t byte) {
        bytes.push_back(byte);
        return 0;
    }
};

Bytes encode(const Bytes& pixels, int minCodeSize) {
    PixelSource source{pixels};
    ByteSink sink;
    GifLzwEncoder encoder;
    EXPECT_EQ(encoder.Run(minCodeSize, source, sink), lzw::kDone);
    return sink.bytes;
}

std::pair<int, Bytes> decode(const Bytes& stream) {
    ByteSource source{stream};
    PixelSink sink;
    GifLzwDecoder decoder;
    int result = decoder.Run(source, sink);
    return {result, sink.pixels};
}

// The data sub-blocks of an encoded stream: lengths, and the data joined.
struct SubBlocks {
    std::vector<int> lengths;
    Bytes data;
    bool terminated = false;  // a 0 length ends the stream exactly
};

SubBlocks splitSubBlocks(const Bytes& stream) {
    SubBlocks out;
    std::size_t at = 1;  // past the code-size byte
    while (at < stream.size()) {
        int length = stream[at++];
        if (length == 0) {
            out.terminated = at == stream.size();
            break;
        }
        out.lengths.push_back(length);
        out.data.insert(out.data.end(), stream.begin() + static_cast<std::ptrdiff_t>(at),
                        stream.begin() + static_cast<std::ptrdiff_t>(at + length));
        at += static_cast<std::size_t>(length);
    }
    return out;
}

// Rewraps the data of a stream in sub-blocks of the given length.
Bytes rechunk(const Bytes& stream, std::size_t chunk) {
    SubBlocks blocks = splitSubBlocks(stream);
    Bytes out{stream[0]};
    for (std::size_t at = 0; at < blocks.data.size(); at += chunk) {
        std::size_t n = std::min(chunk, blocks.data.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), blocks.data.begin() + static_cast<std::ptrdiff_t>(at),
                   blocks.data.begin() + static_cast<std::ptrdiff_t>(at + n));
    }
    out.push_back(0);
    return out;
}

// Packs codes of stated widths LSB first into one stream with the given
// minimum code size, as a hand-made input.
class CodeWriter {
  public:
    explicit CodeWriter(int minCodeSize) : minCodeSize_(minCodeSize) {}
    CodeWriter& put(int code, int width) {
        for (int bit = 0; bit < width; ++bit, ++bits_) {
            if (bits_ % 8 == 0) data_.push_back(0);
            data_.back() =
                static_cast<std::uint8_t>(data_.back() | ((code >> bit) & 1) << (bits_ % 8));
        }
        return *this;
    }
    Bytes stream(bool terminate = true) const {
        Bytes out{static_cast<std::uint8_t>(minCodeSize_)};
        for (std::size_t at = 0; at < data_.size(); at += 255) {
            std::size_t n = std::min<std::size_t>(255, data_.size() - at);
            out.push_back(static_cast<std::uint8_t>(n));
            out.insert(out.end(), data_.begin() + static_cast<std::ptrdiff_t>(at),
                       data_.begin() + static_cast<std::ptrdiff_t>(at + n));
        }
        if (terminate) out.push_back(0);
        return out;
    }

  private:
    int minCodeSize_;
    Bytes data_;
    int bits_ = 0;
};

// What a decoder makes of any well-wrapped code stream, hostile ones
// included, as a plain dictionary of strings: the status it ends with and
// the pixels it hands over before that. The format lets a full table go on
// without a clear code; our decoder stops there.
enum class WhenFull { KeepDecoding, Stop };

std::pair<int, Bytes> plainDecode(const Bytes& stream, WhenFull whenFull) {
    SubBlocks blocks = splitSubBlocks(stream);
    const int minCodeSize = stream.at(0);
    const int clear = 1 << minCodeSize;
    std::vector<Bytes> dictionary;
    auto reset = [&] {
        dictionary.clear();
        for (int i = 0; i < clear + 2; ++i)
            dictionary.push_back(Bytes{static_cast<std::uint8_t>(i)});
    };
    reset();
    std::size_t bit = 0;
    int width = minCodeSize + 1;
    std::optional<Bytes> previous;
    Bytes out;
    for (;;) {
        if (bit + static_cast<std::size_t>(width) > blocks.data.size() * 8)
            return {lzw::kOutOfData, out};
        int code = 0;
        for (int i = 0; i < width; ++i, ++bit)
            code |= ((blocks.data[bit / 8] >> (bit % 8)) & 1) << i;
        if (code == clear) {
            reset();
            width = minCodeSize + 1;
            previous.reset();
            continue;
        }
        if (code == clear + 1) return {lzw::kDone, out};
        Bytes entry;
        if (static_cast<std::size_t>(code) < dictionary.size()) {
            entry = dictionary[static_cast<std::size_t>(code)];
        } else if (static_cast<std::size_t>(code) == dictionary.size() && previous) {
            entry = *previous;
            entry.push_back((*previous)[0]);
        } else {
            return {lzw::kUndefinedCode, out};
        }
        out.insert(out.end(), entry.begin(), entry.end());
        if (previous && dictionary.size() == 4096 && whenFull == WhenFull::Stop)
            return {lzw::kTableFull, out};
        if (previous && dictionary.size() < 4096) {
            Bytes added = *previous;
            added.push_back(entry[0]);
            dictionary.push_back(added);
        }
        previous = entry;
        if (dictionary.size() == (1u << width) && width < 12) ++width;
    }
}

// The format's own reading of a stream: its pixels, or nothing when it is malformed.
std::optional<Bytes> referenceDecode(const Bytes& stream) {
    auto [status, pixels] = plainDecode(stream, WhenFull::KeepDecoding);
    return status == lzw::kDone ? std::optional<Bytes>(pixels) : std::nullopt;
}

// What our decoder makes of a stream.
std::pair<int, Bytes> modelDecode(const Bytes& stream) {
    return plainDecode(stream, WhenFull::Stop);
}

Bytes randomPixels(std::size_t count, int bits, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes pixels(count);
    for (auto& p : pixels) p = static_cast<std::uint8_t>(random() & ((1u << bits) - 1));
    return pixels;
}

// Runs of a few values with occasional changes: long strings, deep chains.
Bytes smoothPixels(std::size_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes pixels(count);
    std::uint8_t value = 0;
    for (auto& p : pixels) {
        if (random() % 97 == 0) value = static_cast<std::uint8_t>(random() % 3);
        p = value;
    }
    return pixels;
}

TEST(GifLzwRoundTrip, EncodedPixelsDecodeBackForEveryCodeSize) {
    for (int bits = 1; bits <= 8; ++bits) {
        for (std::size_t count : {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{100},
                                  std::size_t{70000}}) {
            SCOPED_TRACE(testing::Message() << bits << " bits, " << count << " pixels");
            Bytes pixels = randomPixels(count, bits, static_cast<std::uint32_t>(bits * count));
            Bytes stream = encode(pixels, bits);
            ASSERT_EQ(stream[0], bits == 1 ? 2 : bits);
            auto [result, decoded] = decode(stream);
            EXPECT_EQ(result, lzw::kDone);
            EXPECT_EQ(decoded, pixels);
            EXPECT_EQ(referenceDecode(stream), pixels) << "a plain decoder reads it the same";
        }
    }
}

TEST(GifLzwRoundTrip, LongStringsAndRepeatedTableResets) {
    // Smooth data builds strings thousands of pixels long; a long random run
    // fills the table many times over.
    for (const Bytes& pixels :
         {smoothPixels(400000, 1), randomPixels(300000, 8, 2), Bytes(100000, 7)}) {
        Bytes stream = encode(pixels, 8);
        auto [result, decoded] = decode(stream);
        EXPECT_EQ(result, lzw::kDone);
        EXPECT_EQ(decoded, pixels);
        EXPECT_EQ(referenceDecode(stream), pixels);
    }
}

TEST(GifLzwRoundTrip, SubBlockBoundariesDoNotMatter) {
    Bytes pixels = randomPixels(5000, 5, 3);
    Bytes stream = encode(pixels, 5);
    for (std::size_t chunk : {1, 2, 7, 64, 200, 255}) {
        SCOPED_TRACE(chunk);
        auto [result, decoded] = decode(rechunk(stream, chunk));
        EXPECT_EQ(result, lzw::kDone);
        EXPECT_EQ(decoded, pixels);
    }
}

TEST(GifLzwEncode, DataGoesOutInSubBlocksOf254Or255AndAShorterLastOne) {
    Bytes stream = encode(randomPixels(60000, 8, 4), 8);
    SubBlocks blocks = splitSubBlocks(stream);
    ASSERT_TRUE(blocks.terminated);
    ASSERT_GT(blocks.lengths.size(), 10u);
    for (std::size_t i = 0; i + 1 < blocks.lengths.size(); ++i)
        EXPECT_TRUE(blocks.lengths[i] == 254 || blocks.lengths[i] == 255) << blocks.lengths[i];
    EXPECT_LE(blocks.lengths.back(), 255);
}

TEST(GifCodePacker, SubBlocksGoOutOnce2032BitsWait) {
    ByteSink sink;
    GifCodePacker packer;
    for (int i = 0; i < 170; ++i) packer.Put(sink, i, 12);  // 2040 bits, none out yet
    EXPECT_TRUE(sink.bytes.empty());
    packer.Put(sink, 0xABC, 12);  // the 255 whole bytes go out before this code
    ASSERT_EQ(sink.bytes.size(), 256u);
    EXPECT_EQ(sink.bytes[0], 255);
    EXPECT_EQ(sink.bytes[1], 0x00);  // code 0, then code 1 starting at bit 12
    EXPECT_EQ(sink.bytes[2], 0x10);
    packer.Finish(sink);
    EXPECT_EQ(Bytes(sink.bytes.begin() + 256, sink.bytes.end()), (Bytes{2, 0xBC, 0x0A, 0}));
}

TEST(GifCodePacker, LeftoverBitsBeyondOneSubBlockAreSplit) {
    // 3 + 170 x 12 = 2043 bits wait at the end: 256 bytes, one more than a
    // sub-block holds; a single block would carry the length 0.
    ByteSink sink;
    GifCodePacker packer;
    packer.Put(sink, 5, 3);
    for (int i = 0; i < 170; ++i) packer.Put(sink, 0xFFF, 12);
    EXPECT_TRUE(sink.bytes.empty());
    packer.Finish(sink);
    Bytes stream{8};
    stream.insert(stream.end(), sink.bytes.begin(), sink.bytes.end());
    SubBlocks blocks = splitSubBlocks(stream);
    EXPECT_TRUE(blocks.terminated);
    EXPECT_EQ(blocks.lengths, (std::vector<int>{255, 1}));
    EXPECT_EQ(blocks.data.front(), 0xFD);
    EXPECT_EQ(blocks.data.back(), 0x07);
}

TEST(GifCodePacker, AFailedWriteIsRemembered) {
    GifCodePacker packer;
    auto failing = [](std::uint8_t) { return lzw::kWriteFailed; };
    packer.Put(failing, 1, 9);
    EXPECT_FALSE(packer.WriteFailed()) << "nothing was written yet";
    packer.Finish(failing);
    EXPECT_TRUE(packer.WriteFailed());
    packer.Reset();
    EXPECT_FALSE(packer.WriteFailed());
}

TEST(GifLzwEncode, EndCodeIsWidenedWhenTheLastCodeFillsTheWidth) {
    // Eleven pixels with no repeated pair give eleven codes; the last one
    // makes entry 15, so a decoder reads the end code with 5 bits and needs
    // a seventh data byte.
    Bytes pixels = {0, 0, 1, 0, 2, 0, 3, 1, 1, 2, 1};
    Bytes stream = encode(pixels, 2);
    SubBlocks blocks = splitSubBlocks(stream);
    ASSERT_EQ(blocks.lengths, std::vector<int>{7});
    EXPECT_EQ(referenceDecode(stream), pixels);
    auto [result, decoded] = decode(stream);
    EXPECT_EQ(result, lzw::kDone);
    EXPECT_EQ(decoded, pixels);
}

TEST(GifLzwEncode, EmptyImageIsClearThenEnd) { EXPECT_EQ(encode({}, 2), (Bytes{2, 1, 0x2C, 0})); }

TEST(GifLzwEncode, RefusesCodeSizesOutsideTwoToNine) {
    Bytes pixels = {1, 2, 3};
    for (int size : {0, -1, 10}) {
        PixelSource source{pixels};
        ByteSink sink;
        GifLzwEncoder encoder;
        EXPECT_EQ(encoder.Run(size, source, sink), lzw::kBadCodeSize) << size;
        EXPECT_TRUE(sink.bytes.empty());
    }
}

TEST(GifLzwEncode, AFailedWriteIsRememberedWithoutEndingTheRun) {
    Bytes pixels = randomPixels(3000, 8, 6);
    PixelSource source{pixels};
    int writes = 0;
    auto failing = [&](std::uint8_t) { return ++writes > 10 ? lzw::kWriteFailed : 0; };
    GifLzwEncoder encoder;
    EXPECT_EQ(encoder.Run(8, source, failing), lzw::kDone);
    EXPECT_TRUE(encoder.WriteFailed());
    EXPECT_EQ(source.at, pixels.size()) << "every pixel was still taken";
}

TEST(GifLzwEncode, ANegativePixelEndsTheImage) {
    Bytes pixels = {1, 2, 3, 4, 5};
    std::size_t at = 0;
    auto source = [&]() { return at < 3 ? pixels[at++] : -3; };
    ByteSink sink;
    GifLzwEncoder encoder;
    EXPECT_EQ(encoder.Run(4, source, sink), lzw::kDone);
    EXPECT_EQ(decode(sink.bytes).second, (Bytes{1, 2, 3}));
}

TEST(GifLzwDecode, KwKwKCodesRepeatTheirFirstPixel) {
    // clear, 0, then codes 6 and 7 named while they are being made.
    Bytes stream = CodeWriter(2).put(4, 3).put(0, 3).put(6, 3).put(7, 3).put(5, 4).stream();
    auto [result, pixels] = decode(stream);
    EXPECT_EQ(result, lzw::kDone);
    EXPECT_EQ(pixels, Bytes(6, 0));
}

TEST(GifLzwDecode, AStreamMayStartWithoutAClearCode) {
    Bytes stream = CodeWriter(2).put(1, 3).put(2, 3).put(6, 3).put(5, 4).stream();
    auto [result, pixels] = decode(stream);
    EXPECT_EQ(result, lzw::kDone);
    EXPECT_EQ(pixels, (Bytes{1, 2, 1, 2}));
}

TEST(GifLzwDecode, CodeSizeOutsideTwoToNineIsRefused) {
    for (std::uint8_t size : {0, 1, 10, 12, 255}) {
        Bytes stream = {size, 1, 0, 0};
        EXPECT_EQ(decode(stream).first, lzw::kBadCodeSize) << int(size);
    }
    Bytes nine = CodeWriter(9).put(512, 10).put(300, 10).put(513, 10).stream();
    auto [result, pixels] = decode(nine);
    EXPECT_EQ(result, lzw::kDone);
    EXPECT_EQ(pixels, Bytes{300 & 0xFF}) << "indices wider than a byte keep their low byte";
}

TEST(GifLzwDecode, SourceStatusEndsDecodingAfterTheBytesItDelivered) {
    Bytes pixels = randomPixels(2000, 4, 7);
    Bytes stream = encode(pixels, 4);
    Bytes cut(stream.begin(), stream.begin() + 400);
    ByteSource source{cut, 0, -9};
    PixelSink sink;
    GifLzwDecoder decoder;
    EXPECT_EQ(decoder.Run(source, sink), -9);
    ASSERT_GT(sink.pixels.size(), 500u);
    EXPECT_TRUE(std::equal(sink.pixels.begin(), sink.pixels.end(), pixels.begin()));

    Bytes empty;
    ByteSource nothing{empty, 0, -6};
    EXPECT_EQ(decoder.Run(nothing, sink), lzw::kOutOfData);
}

TEST(GifLzwDecode, DataEndingWithoutAnEndCodeRunsOutOfData) {
    // Exactly two bytes of codes, so no padding bits pose as one more code.
    Bytes stream = CodeWriter(2).put(4, 3).put(1, 3).put(2, 3).put(3, 3).put(0, 4).stream();
    auto [result, pixels] = decode(stream);
    EXPECT_EQ(result, lzw::kOutOfData);
    EXPECT_EQ(pixels, (Bytes{1, 2, 3, 0}));
}

TEST(GifLzwDecode, CodesThatNameNoStringStopDecoding) {
    // Code 7 while 6 is the next entry.
    auto [ahead, pixels] = decode(CodeWriter(2).put(4, 3).put(1, 3).put(7, 3).put(5, 3).stream());
    EXPECT_EQ(ahead, lzw::kUndefinedCode);
    EXPECT_EQ(pixels, Bytes{1});
    // A table code right after a clear has no string before it.
    auto [afterClear, none] = decode(CodeWriter(2).put(4, 3).put(6, 3).stream());
    EXPECT_EQ(afterClear, lzw::kUndefinedCode);
    EXPECT_TRUE(none.empty());
}

// Codes for 4095 - 258 + 1 new entries with 8-bit pixels: the table is then
// full and the stream goes on as the caller says.
CodeWriter fillTable(Bytes& expected) {
    CodeWriter writer(8);
    writer.put(256, 9);
    int width = 9;
    int next = 258;
    for (int i = 0; next < 4096; ++i) {
        int pixel = i % 251;
        writer.put(pixel, width);
        expected.push_back(static_cast<std::uint8_t>(pixel));
        if (i > 0) ++next;  // the decoder makes an entry from the second code on
        if (next == (1 << width) && width < 12) ++width;
    }
    return writer;
}

TEST(GifLzwDecode, ACodeWhileTheTableIsFullStopsAfterItsPixels) {
    Bytes expected;
    CodeWriter writer = fillTable(expected);
    writer.put(9, 12).put(10, 12).put(257, 12);
    expected.push_back(9);
    auto [result, pixels] = decode(writer.stream());
    EXPECT_EQ(result, lzw::kTableFull);
    EXPECT_EQ(pixels, expected);
}

TEST(GifLzwDecode, AClearCodeWhenTheTableIsFullStartsAfresh) {
    Bytes expected;
    CodeWriter writer = fillTable(expected);
    writer.put(256, 12).put(9, 9).put(10, 9).put(258, 9).put(257, 9);
    expected.insert(expected.end(), {9, 10, 9, 10});
    auto [result, pixels] = decode(writer.stream());
    EXPECT_EQ(result, lzw::kDone);
    EXPECT_EQ(pixels, expected);
}

TEST(GifLzwDecode, SinkStatusEndsTheRunAtOnce) {
    Bytes stream = encode(randomPixels(1000, 8, 8), 8);
    ByteSource source{stream};
    PixelSink sink;
    sink.stopAfter = 123;
    sink.stopStatus = lzw::kTooManyRows;
    GifLzwDecoder decoder;
    EXPECT_EQ(decoder.Run(source, sink), lzw::kTooManyRows);
    EXPECT_EQ(sink.pixels.size(), 123u);
}

// Lends rows of a fixed width, as the image reader's sink does; stops with
// kTooManyRows when more rows arrive than it has.
struct RowSink {
    RowSink(int rowWidth, int rowCount)
        : width(rowWidth), row(static_cast<std::size_t>(rowWidth)), rowsLeft(rowCount) {}
    std::uint8_t* Space(int& room) {
        room = width - filled;
        return row.data() + filled;
    }
    int Commit(int count) {
        filled += count;
        if (filled < width) return 0;
        filled = 0;
        if (rowsLeft-- == 0) return lzw::kTooManyRows;
        rows.insert(rows.end(), row.begin(), row.end());
        return 0;
    }
    int width;
    Bytes row;
    Bytes rows;
    int filled = 0;
    int rowsLeft;
};

TEST(GifLzwDecode, RowSinksGetStringsInPlaceAndAcrossRowEnds) {
    // Long strings in narrow rows mostly cross row ends; wide rows take
    // them whole.
    Bytes pixels = smoothPixels(30000, 9);
    Bytes stream = encode(pixels, 2);
    for (int width : {1, 3, 7, 64, 1000, 30000}) {
        SCOPED_TRACE(width);
        ByteSource source{stream};
        RowSink sink(width, 30000 / width);
        GifLzwDecoder decoder;
        EXPECT_EQ(decoder.Run(source, sink), lzw::kDone);
        std::size_t whole =
            30000 / static_cast<std::size_t>(width) * static_cast<std::size_t>(width);
        EXPECT_EQ(sink.rows,
                  Bytes(pixels.begin(), pixels.begin() + static_cast<std::ptrdiff_t>(whole)));
    }
    ByteSource source{stream};
    RowSink fewRows(100, 10);
    GifLzwDecoder decoder;
    EXPECT_EQ(decoder.Run(source, fewRows), lzw::kTooManyRows);
    EXPECT_EQ(fewRows.rows, Bytes(pixels.begin(), pixels.begin() + 1000));
}

TEST(GifLzwDecode, OneDecoderServesSeveralRuns) {
    GifLzwDecoder decoder;
    for (std::uint32_t seed = 10; seed < 13; ++seed) {
        Bytes pixels = randomPixels(3000, 3 + seed % 4, seed);
        Bytes stream = encode(pixels, 3 + static_cast<int>(seed % 4));
        ByteSource source{stream};
        PixelSink sink;
        EXPECT_EQ(decoder.Run(source, sink), lzw::kDone);
        EXPECT_EQ(sink.pixels, pixels);
    }
}

// How a hostile stream is made: how often a clear code comes (1 = before
// every code), how often a code names no string yet, how often a code is a
// single pixel rather than a string of the table.
struct HostileRecipe {
    const char* name;
    int minCodeSize;
    int codes;
    int clearEvery;  // 0: never
    int badEvery;    // 0: never
    int literalPercent;
    bool endCode;
    int ends;  // the status the recipe is made to reach
};

// Codes as the decoder will read them, widths included, following the
// recipe; the stream goes on past the point where the decoder stops.
Bytes hostileStream(const HostileRecipe& recipe, std::uint32_t seed) {
    std::mt19937 random(seed);
    const int clear = 1 << recipe.minCodeSize;
    CodeWriter writer(recipe.minCodeSize);
    int width = recipe.minCodeSize + 1;
    int next = clear + 2;
    bool hasPrevious = false;
    for (int i = 0; i < recipe.codes; ++i) {
        if (recipe.clearEvery > 0 && static_cast<int>(random() % recipe.clearEvery) == 0) {
            writer.put(clear, width);
            width = recipe.minCodeSize + 1;
            next = clear + 2;
            hasPrevious = false;
        }
        int code;
        if (recipe.badEvery > 0 && static_cast<int>(random() % recipe.badEvery) == 0 &&
            next + 1 < (1 << width)) {
            code = next + 1 +
                   static_cast<int>(random() % static_cast<unsigned>((1 << width) - next - 1));
        } else if (!hasPrevious || static_cast<int>(random() % 100) < recipe.literalPercent) {
            code = static_cast<int>(random() % static_cast<unsigned>(clear));
        } else {
            code = clear + 2 + static_cast<int>(random() % static_cast<unsigned>(next - clear - 1));
            if (code > 4095) code = static_cast<int>(random() % static_cast<unsigned>(clear));
        }
        writer.put(code, width);
        if (hasPrevious && next < 4096) ++next;
        hasPrevious = true;
        if (next == (1 << width) && width < 12) ++width;
    }
    if (recipe.endCode) writer.put(clear + 1, width);
    return writer.stream();
}

TEST(GifLzwDecode, HostileStreamsEndAsAPlainDictionaryDecoderSays) {
    const HostileRecipe recipes[] = {
        {"clear code before every code", 8, 3000, 1, 0, 50, true, lzw::kDone},
        {"clear code before every code, 2-bit", 2, 3000, 1, 0, 30, true, lzw::kDone},
        {"full table without a clear code", 8, 6000, 0, 0, 30, true, lzw::kTableFull},
        {"full table, long strings", 2, 8000, 0, 0, 2, true, lzw::kTableFull},
        {"full table, 9-bit pixels", 9, 6000, 0, 0, 40, true, lzw::kTableFull},
        {"codes beyond the table", 8, 4000, 50, 300, 30, true, lzw::kUndefinedCode},
        {"codes beyond the table, 3-bit", 3, 4000, 40, 200, 10, true, lzw::kUndefinedCode},
        {"frequent clears and long strings", 4, 20000, 300, 0, 5, true, lzw::kDone},
        {"no end code", 6, 2000, 300, 0, 20, false, lzw::kOutOfData},
    };
    for (const HostileRecipe& recipe : recipes) {
        for (std::uint32_t seed = 1; seed <= 4; ++seed) {
            SCOPED_TRACE(testing::Message() << recipe.name << ", seed " << seed);
            const Bytes stream = hostileStream(recipe, seed);
            const auto [status, pixels] = modelDecode(stream);
            ASSERT_EQ(status, recipe.ends) << "the stream is what its name says";
            EXPECT_EQ(decode(stream), std::make_pair(status, pixels));

            // A row sink gets the same pixels in whole rows.
            for (int width : {1, 13, 640}) {
                ByteSource source{stream};
                RowSink sink(width, 1 << 24);
                GifLzwDecoder decoder;
                EXPECT_EQ(decoder.Run(source, sink), status) << width;
                const std::size_t whole = pixels.size() / static_cast<std::size_t>(width) *
                                          static_cast<std::size_t>(width);
                EXPECT_EQ(sink.rows, Bytes(pixels.begin(),
                                           pixels.begin() + static_cast<std::ptrdiff_t>(whole)))
                    << width;
            }
        }
    }
}

}  // namespace
}  // namespace pm32
