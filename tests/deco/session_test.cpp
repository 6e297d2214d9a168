#include <gtest/gtest.h>

#include <functional>

#include "deco/decoder_session.h"
#include "tests/deco/test_pictures.h"

namespace deco {
namespace {

DecoderSession openedSession() {
    auto rgb = test::shadedPicture(32, 24);
    auto fif = encodeFif(rgb.data(), 32, 24, EncodeSettings{});
    DecoderSession session;
    EXPECT_TRUE(session.open(fif->data(), static_cast<std::uint32_t>(fif->size())));
    return session;
}

TEST(DecoderSession, RefusesBadArgumentsAndKeepsGoodOnes) {
    struct Case {
        const char* what;
        std::function<bool(DecoderSession&)> call;
        bool accepted;
    } cases[] = {
        {"size 0", [](DecoderSession& s) { return s.setOutputSize(0, 10); }, false},
        {"size beyond 32767", [](DecoderSession& s) { return s.setOutputSize(10, 32768); }, false},
        {"size 1 x 32767", [](DecoderSession& s) { return s.setOutputSize(1, 32767); }, true},
        {"unknown kind", [](DecoderSession& s) { return s.setOutputFormat(4, 4, 4, 4, 1); }, false},
        {"9 histogram bits", [](DecoderSession& s) { return s.setOutputFormat(10, 9, 4, 4, 1); },
         false},
        {"row order 2", [](DecoderSession& s) { return s.setOutputFormat(3, 2, 1, 4, 2); }, false},
        {"true colour", [](DecoderSession& s) { return s.setOutputFormat(3, 2, 1, 4, 1); }, true},
        {"dither 2", [](DecoderSession& s) { return s.setDither(2, 1, 1, 1); }, false},
        {"all weights 0", [](DecoderSession& s) { return s.setDither(1, 0, 0, 0); }, false},
        {"weight 16", [](DecoderSession& s) { return s.setDither(1, 16, 1, 1); }, false},
        {"table of 100", [](DecoderSession& s) { return s.setPalette(0, 0, 100); }, false},
        {"first beyond the table", [](DecoderSession& s) { return s.setPalette(0, 16, 16); },
         false},
        {"table of 16 from 2", [](DecoderSession& s) { return s.setPalette(0, 2, 16); }, true},
        {"fixed table 1", [](DecoderSession& s) { return s.useFixedPalette(1); }, false},
        {"no table name room", [](DecoderSession& s) { return s.tableName(nullptr); }, false},
        {"colour table before decoding",
         [](DecoderSession& s) {
             std::uint8_t entries[1024];
             return s.colorTable(entries);
         },
         false},
        {"a table that is no FTT",
         [](DecoderSession& s) {
             const std::uint8_t bytes[] = {'P', 'F', 'T', 'T'};
             return s.setTable(bytes, sizeof bytes);
         },
         false},
    };
    for (const Case& c : cases) {
        DecoderSession session = openedSession();
        EXPECT_EQ(c.call(session), c.accepted) << c.what;
    }
}

TEST(DecoderSession, DecodeChecksItsRectangleAndStride) {
    DecoderSession session = openedSession();
    ASSERT_TRUE(session.setOutputSize(32, 24));
    std::vector<std::uint8_t> rows(3 * 32 * 24);
    EXPECT_EQ(session.decode(rows.data(), 0, 0, 0, 0, 96), 1) << "no output kind yet";
    ASSERT_TRUE(session.setOutputFormat(3, 2, 1, 4, 1));
    struct Case {
        std::int32_t x, y, width, height, stride;
        std::int16_t result;
    } cases[] =
        {
            {0, 0, 0, 0, 96, 0},   {0, 0, 0, 0, 95, 1},   {-1, 0, 4, 4, 96, 1},
            {0, 0, 32, 24, 96, 0}, {30, 20, 2, 4, 96, 0}, {0, 0, 0, 5, 96, 1},
            {40, 30, 4, 4, 96, 0},  // wholly beyond the picture: black
        };
    for (const Case& c : cases)
        EXPECT_EQ(session.decode(rows.data(), c.x, c.y, c.width, c.height, c.stride), c.result)
            << c.x << "," << c.y << " " << c.width << "x" << c.height << " stride " << c.stride;
    EXPECT_EQ(session.decode(nullptr, 0, 0, 0, 0, 96), 1);

    // Indexed output needs its table first.
    ASSERT_TRUE(session.setOutputFormat(10, 4, 4, 4, 1));
    EXPECT_EQ(session.decode(rows.data(), 0, 0, 0, 0, 32), 1);
    ASSERT_TRUE(session.setPalette(0, 0, 16));
    EXPECT_EQ(session.decode(rows.data(), 0, 0, 0, 0, 15), 1)
        << "32 pixels of 4 bits need 16 bytes";
    EXPECT_EQ(session.decode(rows.data(), 0, 0, 0, 0, 16), 0);
}

}  // namespace
}  // namespace deco
