#include "formats/palette_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using platform::HPALETTE;
using platform::PALETTEENTRY;
using test::readFile;
using test::TempDir;
using test::writeFile;
using Bytes = std::vector<std::uint8_t>;

// Deletes the palette it holds when the test is done with it.
struct OwnedPalette {
    HPALETTE handle = 0;
    OwnedPalette() = default;
    explicit OwnedPalette(HPALETTE h) : handle(h) {}
    ~OwnedPalette() {
        if (handle != 0) platform::DeletePalette(handle);
    }
    OwnedPalette(const OwnedPalette&) = delete;
    OwnedPalette& operator=(const OwnedPalette&) = delete;
};

// Entries whose four bytes all differ from one entry to the next, with every
// flag value the system uses.
std::vector<PALETTEENTRY> distinctEntries(unsigned count) {
    static constexpr std::uint8_t kFlags[] = {0, platform::PC_RESERVED, platform::PC_NOCOLLAPSE};
    std::vector<PALETTEENTRY> entries;
    for (unsigned i = 0; i < count; ++i) {
        entries.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 7 + 3),
                           static_cast<std::uint8_t>(255 - i), kFlags[i % 3]});
    }
    return entries;
}

std::vector<PALETTEENTRY> entriesOf(HPALETTE palette) {
    std::vector<PALETTEENTRY> entries(platform::GetPaletteEntryCount(palette));
    platform::GetPaletteEntries(palette, 0, entries);
    return entries;
}

Bytes bytesOf(const std::vector<PALETTEENTRY>& entries) {
    Bytes bytes;
    for (const PALETTEENTRY& e : entries)
        bytes.insert(bytes.end(), {e.peRed, e.peGreen, e.peBlue, e.peFlags});
    return bytes;
}

// A palette file: version and count little-endian, then the entry bytes.
Bytes paletteFile(std::uint16_t version, std::uint16_t count, const Bytes& entryBytes) {
    Bytes bytes = {static_cast<std::uint8_t>(version), static_cast<std::uint8_t>(version >> 8),
                   static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8)};
    bytes.insert(bytes.end(), entryBytes.begin(), entryBytes.end());
    return bytes;
}

void expectSameEntries(const std::vector<PALETTEENTRY>& actual,
                       const std::vector<PALETTEENTRY>& expected) {
    EXPECT_EQ(bytesOf(actual), bytesOf(expected));
}

class PaletteFileTest : public ::testing::Test {
  protected:
    void SetUp() override { livePalettes_ = platform::LivePaletteCount(); }
    void TearDown() override {
        EXPECT_EQ(platform::LivePaletteCount(), livePalettes_) << "a palette leaked";
    }

    // Reads the bytes as a palette file; on failure no palette may be handed out.
    ErrorNumber read(const Bytes& bytes, OwnedPalette& palette) {
        std::string path = dir_.path("p.pal");
        writeFile(path, bytes);
        ErrorNumber error = ReadPaletteFile(path, palette.handle);
        if (error != 0) {
            EXPECT_EQ(palette.handle, 0u) << "a failed read handed out a palette";
        }
        return error;
    }

    ErrorNumber read(const Bytes& bytes) {
        OwnedPalette palette;
        return read(bytes, palette);
    }

    TempDir dir_;
    std::size_t livePalettes_ = 0;
};

TEST_F(PaletteFileTest, WritesVersionCountAndEntries) {
    auto entries = distinctEntries(3);
    OwnedPalette palette(platform::CreatePalette(entries));
    std::string path = dir_.path("out.pal");
    ASSERT_EQ(WritePaletteFile(palette.handle, path), 0);
    EXPECT_EQ(readFile(path), paletteFile(0x0300, 3, bytesOf(entries)));
}

TEST_F(PaletteFileTest, RoundTripsEverySize) {
    for (unsigned count : {1u, 2u, 16u, 256u, 300u, platform::kMaxPaletteEntries}) {
        auto entries = distinctEntries(count);
        OwnedPalette written(platform::CreatePalette(entries));
        std::string path = dir_.path("round.pal");
        ASSERT_EQ(WritePaletteFile(written.handle, path), 0) << count;
        EXPECT_EQ(readFile(path).size(), 4 + 4 * count);
        OwnedPalette read;
        ASSERT_EQ(ReadPaletteFile(path, read.handle), 0) << count;
        ASSERT_NE(read.handle, written.handle);
        expectSameEntries(entriesOf(read.handle), entries);
    }
}

TEST_F(PaletteFileTest, ReadsLaterVersionsAndIgnoresTrailingBytes) {
    auto entries = distinctEntries(4);
    for (std::uint16_t version : {0x0300, 0x0301, 0x0400, 0xFFFF}) {
        OwnedPalette palette;
        ASSERT_EQ(read(paletteFile(version, 4, bytesOf(entries)), palette), 0) << version;
        expectSameEntries(entriesOf(palette.handle), entries);
    }
    OwnedPalette palette;
    Bytes longer = bytesOf(distinctEntries(6));
    ASSERT_EQ(read(paletteFile(0x0300, 4, longer), palette), 0);
    expectSameEntries(entriesOf(palette.handle), entries);
}

TEST_F(PaletteFileTest, EarlierVersionsAreInvalidPalettes) {
    Bytes entryBytes = bytesOf(distinctEntries(4));
    EXPECT_EQ(read(paletteFile(0x0200, 4, entryBytes)), err::InvalidPaletteFile);
    EXPECT_EQ(read(paletteFile(0x02FF, 4, entryBytes)), err::InvalidPaletteFile);
    EXPECT_EQ(read(paletteFile(0x0000, 4, entryBytes)), err::InvalidPaletteFile);
    EXPECT_EQ(read(paletteFile(0x0003, 4, entryBytes)), err::InvalidPaletteFile)
        << "the version is little-endian";
}

TEST_F(PaletteFileTest, CountsThatTheDataCannotServeAreInvalidPalettes) {
    EXPECT_EQ(read(paletteFile(0x0300, 5, bytesOf(distinctEntries(4)))), err::InvalidPaletteFile);
    EXPECT_EQ(read(paletteFile(0x0300, 4, Bytes(15, 1))), err::InvalidPaletteFile)
        << "the last entry is one byte short";
    EXPECT_EQ(read(paletteFile(0x0300, 0xFFFF, {})), err::InvalidPaletteFile);
    EXPECT_EQ(read(paletteFile(0x0300, 0, bytesOf(distinctEntries(4)))), err::InvalidPaletteFile)
        << "no palette has no entries";
    unsigned tooMany = platform::kMaxPaletteEntries + 1;
    EXPECT_EQ(read(paletteFile(0x0300, static_cast<std::uint16_t>(tooMany),
                               bytesOf(distinctEntries(tooMany)))),
              err::InvalidPaletteFile);
}

TEST_F(PaletteFileTest, EmptyShortAndMissingFiles) {
    EXPECT_EQ(read({}), err::BadFile);
    EXPECT_EQ(read({0x00}), err::BadFile);
    EXPECT_EQ(read({0x00, 0x03, 0x01}), err::BadFile);
    HPALETTE palette = 0;
    EXPECT_EQ(ReadPaletteFile(dir_.path("missing.pal"), palette), err::FileMissing);
    EXPECT_EQ(palette, 0u);
    EXPECT_EQ(ReadPaletteFile(dir_.path(""), palette), err::FileMissing) << "a directory";
    EXPECT_EQ(palette, 0u);
}

TEST_F(PaletteFileTest, WritingABadHandleIsAnInvalidPalette) {
    std::string path = dir_.path("out.pal");
    EXPECT_EQ(WritePaletteFile(0, path), err::InvalidPalette);
    HPALETTE deleted = platform::CreatePalette(distinctEntries(2));
    ASSERT_TRUE(platform::DeletePalette(deleted));
    EXPECT_EQ(WritePaletteFile(deleted, path), err::InvalidPalette);
    EXPECT_FALSE(std::filesystem::exists(path)) << "nothing is created for a bad palette";
}

TEST_F(PaletteFileTest, UnwritablePathsFail) {
    OwnedPalette palette(platform::CreatePalette(distinctEntries(16)));
    EXPECT_EQ(WritePaletteFile(palette.handle, dir_.path("no/such/dir/out.pal")),
              err::OperationFailure);
    EXPECT_EQ(WritePaletteFile(palette.handle, dir_.path("")), err::OperationFailure);
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full to fill";
    EXPECT_EQ(WritePaletteFile(palette.handle, "/dev/full"), err::WriteFailed);
}

}  // namespace
}  // namespace pm32
