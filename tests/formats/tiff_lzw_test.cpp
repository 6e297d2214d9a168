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

// What the decoder makes of any code stream, hostile ones included, as a
// plain dictionary of strings: the bytes of a stream that ends well or fills
// the output, nothing for any other.
Bytes modelDecode(const Bytes& compressed, std::size_t room) {
    std::size_t bit = 0;
    std::size_t codes = 0;
    auto read = [&](unsigned width) -> int {
        if (bit + width > compressed.size() * 8 || ++codes > 24576) return -1;
        int code = 0;
        for (unsigned i = 0; i < width; ++i, ++bit)
            code = code << 1 | ((compressed[bit / 8] >> (7 - bit % 8)) & 1);
        return code;
    };
    Bytes out;
    if (read(9) != 256) return {};
    for (;;) {
        std::vector<Bytes> dictionary;
        for (unsigned i = 0; i < 258; ++i)
            dictionary.push_back(Bytes{static_cast<std::uint8_t>(i)});
        unsigned width = 9;
        if (out.size() == room) return out;
        const int first = read(width);
        if (first == 257) return out;
        if (first < 0 || first >= 256) return {};
        out.push_back(static_cast<std::uint8_t>(first));
        Bytes previous{static_cast<std::uint8_t>(first)};
        bool cleared = false;
        while (out.size() < room) {
            const int code = read(width);
            Bytes entry;
            if (code == 256) {
                cleared = true;
                break;
            }
            if (code == 257) return out;
            if (code < 0 || static_cast<std::size_t>(code) > dictionary.size()) return {};
            if (static_cast<std::size_t>(code) < dictionary.size()) {
                entry = dictionary[static_cast<std::size_t>(code)];
            } else {
                entry = previous;
                entry.push_back(previous[0]);
            }
            const std::size_t kept = std::min(entry.size(), room - out.size());
            out.insert(out.end(), entry.begin(), entry.begin() + static_cast<std::ptrdiff_t>(kept));
            Bytes added = previous;
            added.push_back(entry[0]);
            dictionary.push_back(added);
            previous = entry;
            if (dictionary.size() + 1 == (1u << width) && ++width > 12) return {};
        }
        if (!cleared) return out;
    }
}

// How a hostile stream is made: how often a clear code comes (1 = after
// every code), how often a code names no string yet, how often a code is a
// single byte rather than a string of the table; cut after some bytes.
struct HostileRecipe {
    const char* name;
    int codes;
    int clearEvery;  // 0: never
    int badEvery;    // 0: never
    int literalPercent;
    bool endCode;
    std::size_t cutAt;  // bytes kept of the stream; 0: all
    std::size_t room;   // output room
    bool fails;         // what the recipe is made to reach: failure, or bytes
};

Bytes hostileStream(const HostileRecipe& recipe, unsigned seed) {
    std::mt19937 random(seed);
    CodeStream stream;
    stream.put(256, 9);
    unsigned width = 9;
    unsigned next = 258;
    bool afterClear = true;
    for (int i = 0; i < recipe.codes; ++i) {
        unsigned code;
        if (recipe.badEvery > 0 && random() % static_cast<unsigned>(recipe.badEvery) == 0 &&
            next + 1 < (1u << width)) {
            code = next + 1 + random() % ((1u << width) - next - 1);
        } else if (afterClear || random() % 100 < static_cast<unsigned>(recipe.literalPercent)) {
            code = random() % 256;
        } else {
            code = 258 + random() % (next - 257);
        }
        stream.put(code, width);
        if (!afterClear) {
            ++next;
            if (next + 1 == (1u << width)) ++width;
        }
        afterClear = false;
        if (width > 12) break;
        if (recipe.clearEvery > 0 && random() % static_cast<unsigned>(recipe.clearEvery) == 0) {
            stream.put(256, width);
            width = 9;
            next = 258;
            afterClear = true;
        }
    }
    if (recipe.endCode) stream.put(257, width);
    Bytes bytes = stream.bytes();
    if (recipe.cutAt > 0 && recipe.cutAt < bytes.size()) bytes.resize(recipe.cutAt);
    return bytes;
}

TEST(TiffLzwDecodeTest, HostileStreamsEndAsAPlainDictionaryDecoderSays) {
    constexpr std::size_t kRoom = 1 << 20;
    const HostileRecipe recipes[] = {
        {"clear code after every code", 5000, 1, 0, 50, true, 0, kRoom, false},
        {"clear code after every code, output full", 5000, 1, 0, 50, true, 0, 777, false},
        {"full table without a clear code", 6000, 0, 0, 30, true, 0, kRoom, true},
        {"full table, long strings", 6000, 0, 0, 2, true, 0, kRoom, true},
        {"codes beyond the table", 4000, 80, 300, 30, true, 0, kRoom, true},
        {"cut short", 3000, 700, 0, 20, true, 2500, kRoom, true},
        {"long strings into little room", 3000, 0, 0, 3, true, 0, 5000, false},
        {"no end code", 2000, 500, 0, 20, false, 0, kRoom, true},
    };
    for (const HostileRecipe& recipe : recipes) {
        for (unsigned seed = 1; seed <= 4; ++seed) {
            SCOPED_TRACE(testing::Message() << recipe.name << ", seed " << seed);
            const Bytes stream = hostileStream(recipe, seed);
            const Bytes expected = modelDecode(stream, recipe.room);
            ASSERT_EQ(expected.empty(), recipe.fails) << "the stream is what its name says";
            EXPECT_EQ(decode(stream, recipe.room), expected);
        }
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
