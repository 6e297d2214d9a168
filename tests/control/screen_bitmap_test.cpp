#include "control/screen_bitmap.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <random>

#include "control/nearest_stretch.h"
#include "engine/dib_layout.h"
#include "tests/support/test_dibs.h"

namespace pm32::test {
namespace {

using control::BuildScreenBitmap;

QRgb qColor(Rgb c) { return qRgb(c.red, c.green, c.blue); }

TEST(ScreenBitmap, ShowsEveryPixelAsTheEngineReadsItAtEachDepth) {
    std::mt19937 random(7);
    for (int depth : {1, 4, 8, 24}) {
        const int width = 13;
        const int height = 5;
        std::vector<int> values(width * height);
        for (int& v : values) v = static_cast<int>(random() & 0xFFFFFF);
        OwnedDib dib;
        if (depth == 24) {
            dib = TrueColorDib(width, height, [&](int x, int y) {
                int v = values[static_cast<std::size_t>(y * width + x)];
                return Rgb{static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                           static_cast<std::uint8_t>(v >> 16)};
            });
        } else {
            std::vector<Rgb> table(1u << depth);
            for (std::size_t i = 0; i < table.size(); ++i)
                table[i] = {static_cast<std::uint8_t>(i * 37), static_cast<std::uint8_t>(i * 11),
                            static_cast<std::uint8_t>(255 - i)};
            dib = PaletteDib(depth, width, height, table, [&](int x, int y) {
                return static_cast<unsigned>(values[static_cast<std::size_t>(y * width + x)]) %
                       (1u << depth);
            });
        }
        QImage bitmap = BuildScreenBitmap(dib.get());
        ASSERT_EQ(bitmap.size(), QSize(width, height)) << depth;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                ASSERT_EQ(bitmap.pixel(x, y), qColor(ColorAtPixel(dib.get(), x, y)))
                    << "depth " << depth << " at " << x << ", " << y;
    }
}

TEST(ScreenBitmap, UnreadableBlocksGiveNoBitmap) {
    EXPECT_TRUE(BuildScreenBitmap(0).isNull());
    OwnedDib dib = TrueColorDib(4, 4, [](int, int) { return Rgb{1, 2, 3}; });
    {
        platform::Locked block(dib.get());
        writeLe32(block.data() + dib::kHeight, 5000);
    }
    EXPECT_TRUE(BuildScreenBitmap(dib.get()).isNull()) << "rows beyond the block";
    {
        platform::Locked block(dib.get());
        writeLe32(block.data() + dib::kHeight, 4);
        writeLe32(block.data() + dib::kCompression, 1);
    }
    EXPECT_TRUE(BuildScreenBitmap(dib.get()).isNull()) << "compressed";
}

// Stretches from a bitmap's own pixels, with the buffers of earlier stretches.
bool StretchColorOnColor(QPainter& painter, const QRect& destination, const QImage& bitmap,
                         const QRect& source, const QRect& visible,
                         control::StretchBuffers& buffers) {
    return control::StretchNearest(
        painter, destination, bitmap.size(), source, visible,
        [&bitmap](int row, std::span<const int> columns, QRgb* out) {
            const auto* in = reinterpret_cast<const QRgb*>(bitmap.constScanLine(row));
            for (int x : columns) *out++ = in[x];
        },
        buffers);
}

// Nearest-neighbour reference: destination pixel i shows source pixel
// i * source extent / destination extent.
QImage referenceStretch(const QImage& bitmap, QRect source, QSize destination) {
    QImage out(destination, QImage::Format_RGB32);
    for (int y = 0; y < destination.height(); ++y)
        for (int x = 0; x < destination.width(); ++x)
            out.setPixel(x, y,
                         bitmap.pixel(source.left() + x * source.width() / destination.width(),
                                      source.top() + y * source.height() / destination.height()));
    return out;
}

TEST(Stretch, SamplesTheNearestSourcePixelAtAnyRatio) {
    QImage bitmap(17, 11, QImage::Format_RGB32);
    for (int y = 0; y < bitmap.height(); ++y)
        for (int x = 0; x < bitmap.width(); ++x) bitmap.setPixel(x, y, qRgb(x * 15, y * 23, 77));
    // One set of buffers serves every case, growing and shrinking; the tall
    // cases take several bands, with enlarged rows repeated across them.
    control::StretchBuffers buffers;
    for (QRect source : {QRect(0, 0, 17, 11), QRect(3, 2, 7, 5), QRect(16, 10, 1, 1)})
        for (QSize size : {QSize(17, 11), QSize(34, 33), QSize(5, 3), QSize(23, 7), QSize(700, 500),
                           QSize(3000, 47)}) {
            QImage target(size, QImage::Format_RGB32);
            target.fill(Qt::black);
            {
                QPainter painter(&target);
                ASSERT_TRUE(StretchColorOnColor(painter, QRect(QPoint(), size), bitmap, source,
                                                target.rect(), buffers));
            }
            EXPECT_EQ(target, referenceStretch(bitmap, source, size))
                << source.x() << "," << source.y() << " " << size.width() << "x" << size.height();
        }
}

TEST(Stretch, DrawsOnlyTheVisiblePartAndRefusesSourcesOutsideTheBitmap) {
    QImage bitmap(4, 4, QImage::Format_RGB32);
    bitmap.fill(qRgb(9, 9, 9));
    QImage target(40, 40, QImage::Format_RGB32);
    target.fill(Qt::black);
    control::StretchBuffers buffers;
    {
        QPainter painter(&target);
        EXPECT_TRUE(StretchColorOnColor(painter, QRect(0, 0, 40, 40), bitmap, QRect(0, 0, 4, 4),
                                        QRect(10, 10, 5, 5), buffers));
        EXPECT_FALSE(StretchColorOnColor(painter, QRect(0, 0, 40, 40), bitmap, QRect(1, 0, 4, 4),
                                         target.rect(), buffers));
    }
    EXPECT_EQ(target.pixel(12, 12), qRgb(9, 9, 9));
    EXPECT_EQ(target.pixel(9, 12), qRgb(0, 0, 0));
    EXPECT_EQ(target.pixel(15, 12), qRgb(0, 0, 0));
}

}  // namespace
}  // namespace pm32::test
