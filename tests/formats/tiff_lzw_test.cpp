#include "formats/tiff_lzw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace pm32 {
namespace {

using Bytes = std::vector<std::uint8_t>;

// Packs codes most significant bit first, each with the width the caller
// states, so a test spells out exactly where the width changes.
class CodeStream {
  public:
    CodeStream& put(unsigned code, unsigned width) {
        for (unsigned bit = width; bit-- > 0;) {
            current_ = static_cast<std::uint8_t>(current_ << 1 | ((code >> bit) & 1));
            if (++held_ == 8) {
                bytes_.push_back(current_);
                held_ = 0;
            }
        }
        return *this;
    }

    Bytes bytes() const {
        Bytes out = bytes_;
        if (held_ > 0) out.push_back(static_cast<std::uint8_t>(current_ << (8 - held_)));
        return out;
    }

  private:
    Bytes bytes_;
    std::uint8_t current_ = 0;
    unsigned held_ = 0;
};

Bytes decode(const Bytes& compressed, std::size_t room = 1 << 20) {
    Bytes out(room);
    out.resize(TiffLzwDecode(compressed, out));
    return out;
}

Bytes encode(const Bytes& raw) {
    TiffLzwOutput out;
    EXPECT_EQ(TiffLzwEncode(raw, raw.size(), out), 0);
    return Bytes(out.bytes().begin(), out.bytes().end());
}

Bytes randomBytes(std::size_t n, unsigned alphabet, unsigned seed) {
    std::mt19937 random(seed);
    Bytes out(n);
    for (auto& b : out) b = static_cast<std::uint8_t>(random() % alphabet);
    return out;
}

TEST(TiffLzwDecodeTest, WidthGrowsOneCodeEarlierThanGif) {
    // After a clear code, 254 codes are 9 bits wide; the 255th is already 10.
    CodeStream stream;
    stream.put(256, 9);
    Bytes expected;
    for (unsigned i = 0; i < 300; ++i) {
        unsigned literal = (i * 7) % 256;
        stream.put(literal, i < 254 ? 9 : 10);
        expected.push_back(static_cast<std::uint8_t>(literal));
    }
    stream.put(257, 10);
    EXPECT_EQ(decode(stream.bytes()), expected);
}

TEST(TiffLzwDecodeTest, CodeBeingDefinedRepeatsThePreviousStringAndItsFirstByte) {
    // 'a', then 258 before it exists: "a" + "a"; then 259 = "aa" + "a"; 'b'
    // defines 260 = "aaa" + "b".
    Bytes stream = CodeStream()
                       .put(256, 9)
                       .put('a', 9)
                       .put(258, 9)
                       .put(259, 9)
                       .put('b', 9)
                       .put(260, 9)
                       .put(257, 9)
                       .bytes();
    EXPECT_EQ(decode(stream), Bytes({'a', 'a', 'a', 'a', 'a', 'a', 'b', 'a', 'a', 'a', 'b'}));
}

TEST(TiffLzwDecodeTest, ClearCodeStartsANewTable) {
    Bytes stream = CodeStream()
                       .put(256, 9)
                       .put('x', 9)
                       .put('y', 9)  // defines 258 = "xy"
                       .put(256, 9)
                       .put('p', 9)
                       .put('q', 9)  // defines 258 = "pq"
                       .put(258, 9)
                       .put(257, 9)
                       .bytes();
    EXPECT_EQ(decode(stream), Bytes({'x', 'y', 'p', 'q', 'p', 'q'}));
}

TEST(TiffLzwDecodeTest, MalformedStreamsProduceNothing) {
    struct Case {
        const char* name;
        Bytes stream;
    };
    Bytes tooMany = CodeStream().put(256, 9).bytes();
    {
        // 24577 codes of one byte each, clear codes keeping the width at 9.
        CodeStream s;
        s.put(256, 9);
        for (int i = 0; i < 12288; ++i) s.put('z', 9).put(256, 9);
        s.put(257, 9);
        tooMany = s.bytes();
    }
    Bytes tableFull;
    {
        // Literal codes without a clear until the counter reaches 4096.
        CodeStream s;
        s.put(256, 9);
        unsigned width = 9;
        for (unsigned counter = 258; counter < 4096; ++counter) {
            s.put(counter % 200, width);
            if (counter + 1 == (1u << width)) ++width;
        }
        s.put(257, 12);
        tableFull = s.bytes();
    }
    const Case cases[] = {
        {"no leading clear code", CodeStream().put('a', 9).put(257, 9).bytes()},
        {"end code first", CodeStream().put(257, 9).bytes()},
        {"code past the next free entry",
         CodeStream().put(256, 9).put('a', 9).put(259, 9).put(257, 9).bytes()},
        {"table code right after a clear", CodeStream()
                                               .put(256, 9)
                                               .put('a', 9)
                                               .put('b', 9)
                                               .put(256, 9)
                                               .put(258, 9)
                                               .put(257, 9)
                                               .bytes()},
        {"input ends before the end code", CodeStream().put(256, 9).put('a', 9).bytes()},
        {"empty input", Bytes{}},
        {"more than 24576 codes", tooMany},
        {"table past 4095 entries without a clear", tableFull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(decode(c.stream).empty());
    }
}

TEST(TiffLzwDecodeTest, StopsWhenTheOutputIsFull) {
    // Long runs (codes defined as they are used) and noise (short strings),
    // cut at every length.
    Bytes raw(300, 'r');
    Bytes noise = randomBytes(300, 5, 3);
    raw.insert(raw.end(), noise.begin(), noise.end());
    Bytes stream = encode(raw);
    for (std::size_t room = 1; room <= raw.size() + 9; ++room) {
        SCOPED_TRACE(room);
        std::size_t kept = std::min(room, raw.size());
        ASSERT_EQ(decode(stream, room), Bytes(raw.begin(), raw.begin() + kept));
    }
}

TEST(TiffLzwEncodeTest, RoundTripsEveryKindOfContent) {
    struct Case {
        const char* name;
        Bytes raw;
    };
    Bytes ramp(3000);
    for (std::size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<std::uint8_t>(i);
    const Case cases[] = {
        {"one byte", Bytes{42}},
        {"two bytes", Bytes{0, 255}},
        {"a long run", Bytes(11000, 7)},
        {"every byte value in turn", ramp},
        // Random bytes fill the table over and over, so the encoder starts
        // fresh tables mid-stream.
        {"noise", randomBytes(11000, 256, 1)},
        {"few symbols", randomBytes(11000, 3, 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes stream = encode(c.raw);
        EXPECT_EQ(stream.size() % 2, 0u) << "streams are padded to 16-bit words";
        EXPECT_EQ(decode(stream), c.raw);
    }
}

TEST(TiffLzwEncodeTest, CompressesRepetitiveContent) {
    Bytes raw(8000, 0x55);
    EXPECT_LT(encode(raw).size(), 300u);
}

TEST(TiffLzwEncodeTest, WorstCaseEstimateDecidesWhichStripsAreRefused) {
    // 8-bit strips 5 and 10 pixels wide: 1638 and 819 rows of (width + 3) bytes.
    EXPECT_EQ(TiffLzwWorstCase(13104), 18284u);
    EXPECT_EQ(TiffLzwWorstCase(10647), 14923u);
    EXPECT_EQ(TiffLzwWorstCase(0), 2u);

    Bytes raw(100, 1);
    TiffLzwOutput out;
    EXPECT_EQ(TiffLzwEncode(raw, 13104, out), err::OperationFailure);
    EXPECT_EQ(TiffLzwEncode(raw, 10647, out), 0);
    EXPECT_EQ(decode(Bytes(out.bytes().begin(), out.bytes().end())), raw);
}

TEST(TiffLzwEncodeTest, WorstCaseBoundsRealOutput) {
    // Incompressible input comes close to the estimate but never beyond it.
    for (std::size_t n : {1u, 300u, 3838u, 3839u, 7676u, 11000u}) {
        SCOPED_TRACE(n);
        Bytes stream = encode(randomBytes(n, 256, static_cast<unsigned>(n)));
        EXPECT_LE(stream.size(), TiffLzwWorstCase(n) + 1);
    }
}

}  // namespace
}  // namespace pm32
