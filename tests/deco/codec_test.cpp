#include <gtest/gtest.h>

#include <optional>

#include "deco/fif_codec.h"
#include "deco/picture_render.h"
#include "tests/deco/test_pictures.h"

namespace deco {
namespace {

std::vector<std::uint8_t> render(const FifPicture& picture, int width, int height, PixelRect crop,
                                 const ContrastTable& table = defaultContrastTable()) {
    PictureRender renderer(picture, table, width, height, crop);
    int cropWidth = crop.right - crop.left;
    std::vector<std::uint8_t> rgb(3 * static_cast<std::size_t>(cropWidth) *
                                  (crop.bottom - crop.top));
    for (int y = 0; y < crop.bottom - crop.top; ++y)
        renderer.row(y, &rgb[3 * static_cast<std::size_t>(y) * cropWidth]);
    return rgb;
}

// Box-shrinks a picture by a whole factor, the reference for smaller decodes.
std::vector<std::uint8_t> shrink(const std::vector<std::uint8_t>& rgb, int width, int height,
                                 int factor) {
    int w = width / factor, h = height / factor;
    std::vector<std::uint8_t> out(3 * static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < 3; ++k) {
                int sum = 0;
                for (int j = 0; j < factor; ++j)
                    for (int i = 0; i < factor; ++i)
                        sum += rgb[3 * (static_cast<std::size_t>(y * factor + j) * width +
                                        x * factor + i) +
                                   k];
                out[3 * (static_cast<std::size_t>(y) * w + x) + k] =
                    static_cast<std::uint8_t>((sum + factor * factor / 2) / (factor * factor));
            }
    return out;
}

TEST(FifCodec, RoundTripKeepsQualityAndShrinksTheFile) {
    struct Case {
        int width, height, quality;
        double minPsnr;
        double minRatio;
    } cases[] = {
        {160, 120, 90, 32.0, 4.0},
        {160, 120, 50, 27.0, 10.0},
        {101, 67, 75, 27.5, 4.0},  // sizes that are no multiple of any block
        {16, 16, 75, 19.0, 1.0},   // one top block: chroma has a single domain
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " q" << c.quality);
        auto source = test::shadedPicture(c.width, c.height);
        EncodeSettings settings;
        settings.quality = c.quality;
        auto fif = encodeFif(source.data(), c.width, c.height, settings);
        ASSERT_TRUE(fif);
        EXPECT_GE(3.0 * c.width * c.height / double(fif->size()), c.minRatio);
        auto picture = parseFif(fif->data(), fif->size());
        ASSERT_TRUE(picture);
        EXPECT_EQ(picture->planes.size(), 3u);
        EXPECT_GE(
            test::psnr(render(*picture, c.width, c.height, {0, 0, c.width, c.height}), source),
            c.minPsnr);
    }
}

TEST(FifCodec, DecodesAtAnySizeAndCropsExactly) {
    const int width = 128, height = 96;
    auto source = test::shadedPicture(width, height);
    auto fif = encodeFif(source.data(), width, height, EncodeSettings{});
    ASSERT_TRUE(fif);
    auto picture = parseFif(fif->data(), fif->size());
    ASSERT_TRUE(picture);
    auto whole = render(*picture, width, height, {0, 0, width, height});

    // Smaller decodes match the shrunk original; a larger one shrinks back to the 1:1 decode.
    EXPECT_GE(test::psnr(render(*picture, width / 4, height / 4, {0, 0, width / 4, height / 4}),
                         shrink(source, width, height, 4)),
              27.0);
    EXPECT_GE(test::psnr(render(*picture, width / 2, height / 2, {0, 0, width / 2, height / 2}),
                         shrink(source, width, height, 2)),
              27.0);
    auto large = render(*picture, 4 * width, 4 * height, {0, 0, 4 * width, 4 * height});
    EXPECT_GE(test::psnr(shrink(large, 4 * width, 4 * height, 4), whole), 35.0);

    struct Crop {
        PixelRect rect;
    } crops[] = {{{0, 0, 10, 10}}, {{37, 21, 90, 80}}, {{120, 90, 128, 96}}};
    for (const Crop& c : crops) {
        auto part = render(*picture, width, height, c.rect);
        int w = c.rect.right - c.rect.left;
        for (int y = c.rect.top; y < c.rect.bottom; ++y)
            for (int x = 0; x < 3 * w; ++x)
                ASSERT_EQ(part[3 * static_cast<std::size_t>(y - c.rect.top) * w + x],
                          whole[3 * (static_cast<std::size_t>(y) * width + c.rect.left) + x])
                    << "row " << y;
    }
    // Beyond the picture a crop is black.
    auto beyond = render(*picture, width, height, {width - 2, 0, width + 2, 1});
    EXPECT_NE(beyond[0] | beyond[1] | beyond[2], 0);
    for (int i = 6; i < 12; ++i) EXPECT_EQ(beyond[i], 0);
    // Any size, not only octaves.
    auto odd = render(*picture, 77, 53, {0, 0, 77, 53});
    EXPECT_EQ(odd.size(), 3u * 77 * 53);
}

TEST(FifCodec, GreyPicturesNeedOnePlaneAndTablesTravelByName) {
    std::vector<std::uint8_t> grey(3 * 64 * 48);
    for (std::size_t i = 0; i < grey.size(); ++i)
        grey[i] = static_cast<std::uint8_t>((i / 3) % 64 * 4);
    EncodeSettings settings;
    settings.tableName = "photo.ftt";
    settings.contrast = positiveContrastTable();
    auto fif = encodeFif(grey.data(), 64, 48, settings);
    ASSERT_TRUE(fif);
    auto picture = parseFif(fif->data(), fif->size());
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->planes.size(), 1u);
    EXPECT_EQ(picture->header.tableName, "photo.ftt");
    auto table = readContrastTable(writeContrastTable(settings.contrast).data(), 70);
    ASSERT_TRUE(table);
    EXPECT_GE(test::psnr(render(*picture, 64, 48, {0, 0, 64, 48}, *table), grey), 35.0);
}

TEST(FifCodec, RefusesMalformedFilesAndTables) {
    auto source = test::shadedPicture(48, 32);
    auto fif = *encodeFif(source.data(), 48, 32, EncodeSettings{});
    // Every cut and every stray byte at the end is refused.
    for (std::size_t length = 0; length < fif.size(); ++length)
        EXPECT_FALSE(parseFif(fif.data(), length)) << length;
    auto longer = fif;
    longer.push_back(0);
    EXPECT_FALSE(parseFif(longer.data(), longer.size()));

    struct Change {
        const char* what;
        std::size_t at;
        std::uint8_t value;
    } changes[] = {
        {"magic", 0, 'X'},        {"width 0", 8, 0},         {"unknown flag", 6, 0x80},
        {"name length", 12, 200}, {"lattice shift", 17, 99},
    };
    for (const Change& c : changes) {
        auto bad = fif;
        bad[c.at] = c.value;
        if (std::string(c.what) == "width 0") bad[9] = 0;
        EXPECT_FALSE(parseFif(bad.data(), bad.size())) << c.what;
    }
    auto newer = fif;
    newer[5] = 1;
    EXPECT_EQ(checkHeader(newer.data(), newer.size()), HeaderCheck::Newer);
    EXPECT_EQ(checkHeader(fif.data(), fif.size()), HeaderCheck::Readable);
    EXPECT_EQ(checkHeader(fif.data(), 3), HeaderCheck::NotFif);

    auto table = writeContrastTable(defaultContrastTable());
    EXPECT_TRUE(readContrastTable(table.data(), table.size()));
    auto expanding = table;
    expanding[6] = 0x01;  // code 0 becomes 513, beyond one
    expanding[7] = 0x02;
    EXPECT_FALSE(readContrastTable(expanding.data(), expanding.size()));
    auto flatMoved = table;
    flatMoved[6 + 2 * kFlatCode] = 1;
    EXPECT_FALSE(readContrastTable(flatMoved.data(), flatMoved.size()));
    EXPECT_FALSE(readContrastTable(table.data(), table.size() - 1));
}

}  // namespace
}  // namespace deco
