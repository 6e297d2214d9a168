#include "formats/dispatch.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/support/rgb_image.h"
#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using test::TempDir;

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

TEST(ResolveFormat, ZeroChoosesByNameAndRefusesTheRest) {
    FormatCode format{};
    EXPECT_EQ(ResolveFormat(0, "photo.BMP", format), 0);
    EXPECT_EQ(format, kFormatBmp);
    EXPECT_EQ(ResolveFormat(0, ".bmp", format), err::BadFile);
    EXPECT_EQ(ResolveFormat(0, "photo.jpeg", format), err::BadFile);
    EXPECT_EQ(ResolveFormat(8, "photo.bmp", format), err::BadFile);
    EXPECT_EQ(ResolveFormat(0, "picture.qzi", format), 0);
    EXPECT_EQ(format, kFormatQzi) << "the caller returns at once for 11 and 12";
    EXPECT_EQ(ResolveFormat(3, "a.gif", format), 0);
    EXPECT_EQ(format, kFormatBmp) << "an explicit format wins over the name";
}

TEST(StoreCompression, EachFormatAcceptsItsOwnValues) {
    struct Case {
        int format;
        int compression;
        bool accepted;
    };
    for (Case c :
         {Case{kFormatJpeg, 4, false}, Case{kFormatJpeg, 5, true}, Case{kFormatJpeg, 100, true},
          Case{kFormatJpeg, 101, false}, Case{kFormatTiff, 0, true}, Case{kFormatTiff, 1, true},
          Case{kFormatTiff, 2, false}, Case{kFormatPcx, 1, false}, Case{kFormatPcx, 2, true},
          Case{kFormatTarga, 2, true}, Case{kFormatTarga, 1, false}, Case{kFormatBmp, 1, false},
          Case{kFormatDib, 0, true}, Case{kFormatGif, 1, true}, Case{kFormatGif, 2, false},
          Case{kFormatPng, 10, true}, Case{kFormatPng, 5, false}}) {
        EXPECT_EQ(CheckStoreCompression(c.format, c.compression),
                  c.accepted ? 0 : err::BadCompression)
            << "format " << c.format << " compression " << c.compression;
    }
}

TEST(LoadRouting, FormatsWithoutAReaderAreNotSupported) {
    TempDir dir;
    std::string path = dir.path("image.dat");
    test::writeText(path, "GIF89a");
    for (int format : std::initializer_list<int>{kFormatPaintbrush, kFormatQzi, 14}) {
        ZDib image;
        LoadFile(image, path, format, 0, ZLoadParams{});
        EXPECT_EQ(image.error, err::FormatNotSupported) << format;
        EXPECT_EQ(image.handle, 0u);
    }
}

TEST(LoadRouting, FormatZeroIdentifiesAgainByName) {
    TempDir dir;
    ZDib image;
    LoadFile(image, dir.path("a.xyz"), kFormatAny, 0, ZLoadParams{});
    EXPECT_EQ(image.error, err::BadFile);
    ZDib missing;
    LoadFile(missing, dir.path("missing.bmp"), kFormatAny, 0, ZLoadParams{});
    EXPECT_EQ(missing.error, err::FileMissing);
}

TEST(LoadRouting, NoSniffingTheBmpReaderRefusesAGif) {
    TempDir dir;
    std::string path = dir.path("a.gif");
    test::writeText(path, "GIF89a\x01\x00\x01\x00\x00\x00\x00;");
    ZDib image;
    LoadFile(image, path, kFormatBmp, 0, ZLoadParams{});
    EXPECT_EQ(image.error, err::BadFile);
}

TEST(StoreRouting, RefusalsWriteNothing) {
    TempDir dir;
    ZDib image;
    image.Create(4, 4, 8, 0);
    StoreFile(image, dir.path("a.bmp"), kFormatBmp, 1, false, 0);
    EXPECT_EQ(image.error, err::BadCompression);
    EXPECT_FALSE(exists(dir.path("a.bmp")));
    for (int format : std::initializer_list<int>{kFormatPaintbrush, kFormatFif, kFormatQzi, 14}) {
        image.error = 0;
        StoreFile(image, dir.path("b.bmp"), format, 0, false, 0);
        EXPECT_EQ(image.error, err::FormatNotSupported) << format;
    }
    image.error = 0;
    StoreFile(image, dir.path("c.xyz"), kFormatAny, 0, false, 0);
    EXPECT_EQ(image.error, err::BadFile);
    EXPECT_FALSE(exists(dir.path("b.bmp")));
    EXPECT_FALSE(exists(dir.path("c.xyz")));
}

TEST(Routing, ABitmapStoredAndLoadedByNameKeepsItsPixels) {
    TempDir dir;
    ZDib image;
    image.Create(7, 5, 24, 0x00336699);
    for (const char* name : {"round.bmp", "round.DIB"}) {
        StoreFile(image, dir.path(name), kFormatAny, 0, false, 0);
        ASSERT_EQ(image.error, 0) << name;
        ZDib loaded;
        LoadFile(loaded, dir.path(name), kFormatAny, 0, ZLoadParams{});
        ASSERT_EQ(loaded.error, 0) << name;
        EXPECT_EQ(test::toRgb(loaded), test::toRgb(image)) << name;
    }
}

}  // namespace
}  // namespace pm32
