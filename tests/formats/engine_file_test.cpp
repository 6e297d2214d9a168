#include "formats/engine_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

namespace pm32 {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

std::vector<std::uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

std::string textOf(const std::vector<std::uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

std::string readBlockText(EngineFile& file, std::size_t n) {
    std::string out(n, '\0');
    out.resize(file.ReadBlock(out.data(), n));
    return out;
}

// Reads bytes until the file reports none left.
std::string readToEnd(EngineFile& file) {
    std::string out;
    for (int byte = file.ReadByte(); byte >= 0; byte = file.ReadByte())
        out += static_cast<char>(byte);
    return out;
}

// Replaces the file's contents in place (same inode) behind the open file's
// back: bytes the engine file still serves from its buffer keep the old
// values, bytes it reads from the file show the new ones.
void changeOnDisk(const std::string& path, const std::string& text) {
    writeFile(path, bytesOf(text));
}

class EngineFileTest : public ::testing::Test {
  protected:
    std::string make(const std::string& name, const std::string& text) {
        std::string path = dir_.path(name);
        writeFile(path, bytesOf(text));
        return path;
    }

    TempDir dir_;
    EngineFile file_;
};

// --- opening and closing ---

TEST_F(EngineFileTest, OpenReadFailsForMissingFilesAndDirectories) {
    EXPECT_FALSE(file_.OpenRead(dir_.path("missing.bin")));
    EXPECT_FALSE(file_.IsOpen());
    EXPECT_FALSE(file_.OpenRead(dir_.path("")));
    EXPECT_FALSE(file_.IsOpen());
    EXPECT_FALSE(file_.OpenUpdate(dir_.path("missing.bin")));
    EXPECT_FALSE(file_.IsOpen());
    EXPECT_FALSE(std::filesystem::exists(dir_.path("missing.bin"))) << "update must not create";
}

TEST_F(EngineFileTest, OpeningWhileOpenIsRefusedAndKeepsTheOpenFile) {
    std::string first = make("first.bin", "first");
    std::string second = make("second.bin", "second");
    ASSERT_TRUE(file_.OpenRead(first));
    EXPECT_EQ(file_.ReadByte(), 'f');
    EXPECT_FALSE(file_.OpenRead(second));
    EXPECT_FALSE(file_.OpenUpdate(second));
    EXPECT_FALSE(file_.OpenCreate(second));
    EXPECT_EQ(textOf(readFile(second)), "second") << "a refused create must not truncate";
    EXPECT_EQ(readToEnd(file_), "irst");
}

TEST_F(EngineFileTest, CloseIsHarmlessWhenNothingIsOpenAndAllowsReopening) {
    EXPECT_TRUE(file_.Close());
    std::string path = make("a.bin", "ab");
    ASSERT_TRUE(file_.OpenRead(path));
    EXPECT_EQ(file_.ReadByte(), 'a');
    EXPECT_TRUE(file_.Close());
    EXPECT_FALSE(file_.IsOpen());
    EXPECT_EQ(file_.ReadByte(), -1);
    EXPECT_TRUE(file_.Close());
    ASSERT_TRUE(file_.OpenRead(path));
    EXPECT_EQ(file_.ReadByte(), 'a') << "a new open starts at the beginning";
}

TEST_F(EngineFileTest, CreateTruncatesAndUpdateKeepsTheContents) {
    std::string path = make("a.bin", "0123456789");
    ASSERT_TRUE(file_.OpenUpdate(path));
    EXPECT_EQ(file_.Remaining(), 10);
    ASSERT_TRUE(file_.Close());
    EXPECT_EQ(textOf(readFile(path)), "0123456789");
    ASSERT_TRUE(file_.OpenCreate(path));
    EXPECT_EQ(file_.Remaining(), 0);
    ASSERT_TRUE(file_.Close());
    EXPECT_TRUE(readFile(path).empty());
}

TEST_F(EngineFileTest, SetBufferNeedsAnOpenFileAndOnlyOneBuffer) {
    EXPECT_FALSE(file_.SetBuffer(16));
    ASSERT_TRUE(file_.OpenRead(make("a.bin", "abc")));
    EXPECT_TRUE(file_.SetBuffer(16));
    EXPECT_FALSE(file_.SetBuffer(16));
    EXPECT_TRUE(file_.SetBuffer(0));
    EXPECT_TRUE(file_.SetBuffer(8)) << "a released buffer can be replaced";
    EXPECT_EQ(readToEnd(file_), "abc");
}

// --- reading ---

TEST_F(EngineFileTest, DirectReadsComeFromTheFileAndEndWithShortRead) {
    std::string path = make("a.bin", "abcdef");
    ASSERT_TRUE(file_.OpenRead(path));
    EXPECT_EQ(file_.ReadByte(), 'a');
    changeOnDisk(path, "ABCDEF");
    EXPECT_EQ(file_.ReadByte(), 'B') << "without a buffer nothing is held back";
    EXPECT_FALSE(file_.ShortRead());
    EXPECT_EQ(readToEnd(file_), "CDEF");
    EXPECT_TRUE(file_.ShortRead());
    EXPECT_EQ(file_.ReadByte(), -1);
}

TEST_F(EngineFileTest, BufferedReadsRefillAcrossTheWholeFile) {
    std::string text = "The quick brown fox jumps over the lazy dog";
    ASSERT_TRUE(file_.OpenRead(make("a.bin", text)));
    ASSERT_TRUE(file_.SetBuffer(5));
    for (std::size_t i = 0; i < text.size(); ++i) {
        ASSERT_EQ(file_.Tell(), static_cast<std::int64_t>(i));
        ASSERT_EQ(file_.Remaining(), static_cast<std::int64_t>(text.size() - i));
        ASSERT_EQ(file_.ReadByte(), static_cast<std::uint8_t>(text[i])) << "at " << i;
    }
    EXPECT_FALSE(file_.ShortRead());
    EXPECT_EQ(file_.ReadByte(), -1);
    EXPECT_TRUE(file_.ShortRead());
    EXPECT_EQ(file_.Tell(), static_cast<std::int64_t>(text.size()));
    EXPECT_EQ(file_.Remaining(), 0);
}

TEST_F(EngineFileTest, SetBufferFillsAtOnceWhenReading) {
    std::string path = make("a.bin", "abcdefgh");
    ASSERT_TRUE(file_.OpenRead(path));
    EXPECT_EQ(file_.ReadByte(), 'a');
    ASSERT_TRUE(file_.SetBuffer(4));
    changeOnDisk(path, "ABCDEFGH");
    EXPECT_EQ(readBlockText(file_, 2), "bc") << "filled from the position at SetBuffer";
    EXPECT_EQ(file_.Tell(), 3);
    EXPECT_EQ(readToEnd(file_), "deFGH") << "the rest of the buffer, then a refill";
}

TEST_F(EngineFileTest, ReadBlockIsServedFromTheBufferOnlyWhenItHoldsMore) {
    std::string path = make("a.bin", "abcdefghijklmnop");
    ASSERT_TRUE(file_.OpenRead(path));
    ASSERT_TRUE(file_.SetBuffer(8));  // holds "abcdefgh"
    changeOnDisk(path, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(readBlockText(file_, 3), "abc");
    EXPECT_EQ(file_.Tell(), 3);
    // Five bytes left in the buffer are not more than five: given back, read directly.
    EXPECT_EQ(readBlockText(file_, 5), "DEFGH");
    EXPECT_EQ(file_.Tell(), 8);
    EXPECT_EQ(file_.Remaining(), 8);
    // The buffer was refilled after the direct read.
    changeOnDisk(path, "0123456789012345");
    EXPECT_EQ(file_.ReadByte(), 'I');
    EXPECT_EQ(file_.Tell(), 9);
}

TEST_F(EngineFileTest, ReadBlockAtTheEndReturnsWhatIsLeft) {
    ASSERT_TRUE(file_.OpenRead(make("a.bin", "abcdef")));
    ASSERT_TRUE(file_.SetBuffer(4));
    EXPECT_EQ(readBlockText(file_, 2), "ab");
    EXPECT_FALSE(file_.ShortRead());
    EXPECT_EQ(readBlockText(file_, 10), "cdef");
    EXPECT_TRUE(file_.ShortRead());
    EXPECT_EQ(file_.Tell(), 6);
    EXPECT_EQ(readBlockText(file_, 1), "");
}

TEST_F(EngineFileTest, ReadHugeReadsFromTheLogicalPosition) {
    std::string text(100000, '\0');
    for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 7 + i / 251);
    ASSERT_TRUE(file_.OpenRead(make("a.bin", text)));
    ASSERT_TRUE(file_.SetBuffer(4096));
    EXPECT_EQ(file_.ReadByte(), static_cast<std::uint8_t>(text[0]));
    std::string huge(text.size() - 1, '\0');
    EXPECT_EQ(file_.ReadHuge(huge.data(), huge.size()), huge.size());
    EXPECT_EQ(huge, text.substr(1));
    EXPECT_EQ(file_.Tell(), static_cast<std::int64_t>(text.size()));
    EXPECT_FALSE(file_.ShortRead());
    EXPECT_EQ(file_.ReadHuge(huge.data(), 1), 0u);
    EXPECT_TRUE(file_.ShortRead());
}

TEST_F(EngineFileTest, SeekSetInsideTheBufferOnlyMovesThePosition) {
    std::string path = make("a.bin", "abcdefghijklmnop");
    ASSERT_TRUE(file_.OpenRead(path));
    ASSERT_TRUE(file_.SetBuffer(8));
    EXPECT_EQ(file_.ReadByte(), 'a');
    changeOnDisk(path, "ABCDEFGHIJKLMNOP");
    ASSERT_TRUE(file_.SeekSet(6));
    EXPECT_EQ(file_.Tell(), 6);
    EXPECT_EQ(file_.ReadByte(), 'g') << "still served from the buffer";
    ASSERT_TRUE(file_.SeekSet(0));
    EXPECT_EQ(file_.ReadByte(), 'a');
    ASSERT_TRUE(file_.SeekSet(8)) << "the first byte past the buffer";
    EXPECT_EQ(file_.ReadByte(), 'I');
    EXPECT_EQ(file_.Tell(), 9);
}

TEST_F(EngineFileTest, SeeksOutsideTheBufferLandWhereAsked) {
    std::string text = "abcdefghijklmnopqrstuvwxyz";
    ASSERT_TRUE(file_.OpenRead(make("a.bin", text)));
    ASSERT_TRUE(file_.SetBuffer(4));
    EXPECT_EQ(readBlockText(file_, 2), "ab");
    ASSERT_TRUE(file_.SeekSet(20));
    EXPECT_EQ(file_.ReadByte(), 'u');
    ASSERT_TRUE(file_.SeekSet(3)) << "back before the buffer";
    EXPECT_EQ(file_.ReadByte(), 'd');
    ASSERT_TRUE(file_.SeekCur(5));
    EXPECT_EQ(file_.Tell(), 9);
    EXPECT_EQ(file_.ReadByte(), 'j');
    ASSERT_TRUE(file_.SeekCur(-3));
    EXPECT_EQ(file_.ReadByte(), 'h');
    ASSERT_TRUE(file_.SeekEnd(-2));
    EXPECT_EQ(file_.Tell(), 24);
    EXPECT_EQ(file_.Remaining(), 2);
    EXPECT_EQ(readToEnd(file_), "yz");
    EXPECT_FALSE(file_.SeekSet(-1));
    EXPECT_FALSE(file_.SeekCur(-100));
    EXPECT_EQ(file_.Tell(), 26) << "a refused seek does not move";
}

TEST_F(EngineFileTest, RemainingLeavesThePositionAlone) {
    ASSERT_TRUE(file_.OpenRead(make("a.bin", "abcdef")));
    ASSERT_TRUE(file_.SetBuffer(4));
    EXPECT_EQ(file_.ReadByte(), 'a');
    EXPECT_EQ(file_.Remaining(), 5);
    EXPECT_EQ(file_.Remaining(), 5);
    EXPECT_EQ(file_.ReadByte(), 'b');
    ASSERT_TRUE(file_.SeekSet(10));
    EXPECT_EQ(file_.Remaining(), 0) << "past the end nothing remains";
}

// --- writing ---

TEST_F(EngineFileTest, UnbufferedWritesReachTheFileAtOnce) {
    std::string path = dir_.path("out.bin");
    ASSERT_TRUE(file_.OpenCreate(path));
    EXPECT_TRUE(file_.WriteByte('a'));
    EXPECT_TRUE(file_.WriteBlock("bcd", 3));
    EXPECT_EQ(textOf(readFile(path)), "abcd");
    EXPECT_EQ(file_.Tell(), 4);
}

TEST_F(EngineFileTest, BufferedByteWritesAreFlushedWhenTheBufferFills) {
    std::string path = dir_.path("out.bin");
    ASSERT_TRUE(file_.OpenCreate(path));
    ASSERT_TRUE(file_.SetBuffer(4));
    for (char c : std::string("abc")) ASSERT_TRUE(file_.WriteByte(c));
    EXPECT_TRUE(readFile(path).empty());
    EXPECT_EQ(file_.Tell(), 3);
    ASSERT_TRUE(file_.WriteByte('d'));
    EXPECT_EQ(textOf(readFile(path)), "abcd");
    ASSERT_TRUE(file_.WriteByte('e'));
    EXPECT_EQ(textOf(readFile(path)), "abcd");
    EXPECT_EQ(file_.Tell(), 5);
    EXPECT_TRUE(file_.Close());
    EXPECT_EQ(textOf(readFile(path)), "abcde");
}

TEST_F(EngineFileTest, BlockWritesKeepOneByteToSpareInTheBuffer) {
    std::string path = dir_.path("out.bin");
    ASSERT_TRUE(file_.OpenCreate(path));
    ASSERT_TRUE(file_.SetBuffer(8));
    ASSERT_TRUE(file_.WriteBlock("1234567", 7));
    EXPECT_TRUE(readFile(path).empty()) << "seven bytes fit with one to spare";
    EXPECT_EQ(file_.Tell(), 7);
    ASSERT_TRUE(file_.WriteBlock("8", 1));
    EXPECT_EQ(textOf(readFile(path)), "12345678") << "filling the last byte flushes";
    ASSERT_TRUE(file_.WriteBlock("abcdefgh", 8));
    EXPECT_EQ(textOf(readFile(path)), "12345678abcdefgh") << "a whole buffer's worth goes direct";
    ASSERT_TRUE(file_.WriteBlock("x", 1));
    EXPECT_EQ(file_.Tell(), 17);
    EXPECT_EQ(file_.Remaining(), 0);
    ASSERT_TRUE(file_.SetBuffer(0));
    EXPECT_EQ(textOf(readFile(path)), "12345678abcdefghx") << "releasing the buffer flushes";
}

TEST_F(EngineFileTest, PendingBytesAreWrittenOnCloseAndDestruction) {
    std::string closed = dir_.path("closed.bin");
    std::string destroyed = dir_.path("destroyed.bin");
    ASSERT_TRUE(file_.OpenCreate(closed));
    ASSERT_TRUE(file_.SetBuffer(64));
    ASSERT_TRUE(file_.WriteBlock("pending", 7));
    EXPECT_TRUE(file_.Close());
    EXPECT_EQ(textOf(readFile(closed)), "pending");
    {
        EngineFile scoped;
        ASSERT_TRUE(scoped.OpenCreate(destroyed));
        ASSERT_TRUE(scoped.SetBuffer(64));
        ASSERT_TRUE(scoped.WriteByte('z'));
    }
    EXPECT_EQ(textOf(readFile(destroyed)), "z");
}

TEST_F(EngineFileTest, SeekingWhileWritingFlushesFirst) {
    std::string path = dir_.path("out.bin");
    ASSERT_TRUE(file_.OpenCreate(path));
    ASSERT_TRUE(file_.SetBuffer(64));
    ASSERT_TRUE(file_.WriteBlock("ABCDEF", 6));
    ASSERT_TRUE(file_.SeekSet(2));
    EXPECT_EQ(textOf(readFile(path)), "ABCDEF");
    ASSERT_TRUE(file_.WriteBlock("xy", 2));
    EXPECT_EQ(file_.Tell(), 4);
    ASSERT_TRUE(file_.SeekEnd(0));
    ASSERT_TRUE(file_.WriteByte('!'));
    EXPECT_EQ(file_.Tell(), 7);
    ASSERT_TRUE(file_.SeekCur(-3));
    ASSERT_TRUE(file_.WriteByte('-'));
    EXPECT_TRUE(file_.Close());
    EXPECT_EQ(textOf(readFile(path)), "ABxy-F!");
}

TEST_F(EngineFileTest, FailedWritesAreReported) {
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    ASSERT_TRUE(file_.OpenCreate("/dev/full"));
    EXPECT_FALSE(file_.WriteBlock("abc", 3));
    EXPECT_FALSE(file_.WriteByte('a'));
    ASSERT_TRUE(file_.SetBuffer(16));
    EXPECT_TRUE(file_.WriteBlock("abc", 3)) << "only held so far";
    EXPECT_FALSE(file_.Close()) << "the pending bytes could not be written";
    EXPECT_FALSE(file_.IsOpen());
}

// --- replacing ---

TEST_F(EngineFileTest, AReplacementTakesTheFilesPlaceOnlyWhenCommitted) {
    std::string path = make("a.bin", "old");
    ASSERT_TRUE(file_.OpenReplace(path));
    ASSERT_TRUE(file_.SetBuffer(4));
    ASSERT_TRUE(file_.WriteBlock("new bytes", 9));
    EXPECT_EQ(textOf(readFile(path)), "old") << "written beside the file";
    EXPECT_TRUE(file_.Close());
    EXPECT_EQ(textOf(readFile(path)), "old") << "closing drops an uncommitted replacement";

    ASSERT_TRUE(file_.OpenReplaceCopy(path));
    EXPECT_EQ(readBlockText(file_, 3), "old") << "a copy to update";
    ASSERT_TRUE(file_.WriteBlock("er", 2));
    EXPECT_EQ(textOf(readFile(path)), "old");
    EXPECT_TRUE(file_.Commit());
    EXPECT_FALSE(file_.IsOpen());
    EXPECT_EQ(textOf(readFile(path)), "older");
    EXPECT_FALSE(file_.Commit()) << "nothing left to commit";

    EXPECT_FALSE(file_.OpenReplaceCopy(dir_.path("missing.bin")));
    EXPECT_FALSE(std::filesystem::exists(dir_.path("missing.bin")));
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir_.path("")))
        ++entries;
    EXPECT_EQ(entries, 1u) << "no temporary file is left";
}

// --- update mode ---

TEST_F(EngineFileTest, UpdateWritesLandAtTheReadPosition) {
    std::string path = make("a.bin", "0123456789");
    ASSERT_TRUE(file_.OpenUpdate(path));
    ASSERT_TRUE(file_.SetBuffer(4));
    EXPECT_EQ(file_.ReadByte(), '0');
    EXPECT_EQ(file_.ReadByte(), '1');
    ASSERT_TRUE(file_.WriteBlock("ab", 2));
    EXPECT_EQ(file_.Tell(), 4);
    EXPECT_EQ(file_.ReadByte(), '4') << "pending bytes are written before reading on";
    EXPECT_EQ(textOf(readFile(path)), "01ab456789");
    ASSERT_TRUE(file_.SeekSet(0));
    ASSERT_TRUE(file_.WriteByte('X'));
    EXPECT_EQ(file_.ReadByte(), '1');
    EXPECT_EQ(readBlockText(file_, 2), "ab");
    ASSERT_TRUE(file_.SeekEnd(0));
    ASSERT_TRUE(file_.WriteBlock("++", 2));
    EXPECT_EQ(file_.Tell(), 12);
    EXPECT_EQ(file_.Remaining(), 0);
    EXPECT_TRUE(file_.Close());
    EXPECT_EQ(textOf(readFile(path)), "X1ab456789++");
}

TEST_F(EngineFileTest, UpdateWritesAfterASeekInsideTheBuffer) {
    std::string path = make("a.bin", "0123456789");
    ASSERT_TRUE(file_.OpenUpdate(path));
    ASSERT_TRUE(file_.SetBuffer(8));
    EXPECT_EQ(readBlockText(file_, 3), "012");
    ASSERT_TRUE(file_.SeekSet(5));
    ASSERT_TRUE(file_.WriteByte('*'));
    EXPECT_EQ(file_.Tell(), 6);
    ASSERT_TRUE(file_.SeekSet(1));
    EXPECT_EQ(readBlockText(file_, 6), "1234*6");
    EXPECT_TRUE(file_.Close());
    EXPECT_EQ(textOf(readFile(path)), "01234*6789");
}

// --- byte orders ---

TEST_F(EngineFileTest, ByteOrderMarksAreTheOnlyOrders) {
    EXPECT_TRUE(file_.SetByteOrder(EngineFile::kLittleEndian));
    EXPECT_EQ(file_.ByteOrder(), 0x4949);
    EXPECT_TRUE(file_.SetByteOrder(EngineFile::kBigEndian));
    EXPECT_EQ(file_.ByteOrder(), 0x4D4D);
    EXPECT_FALSE(file_.SetByteOrder(0x4D49));
    EXPECT_EQ(file_.ByteOrder(), 0) << "a bad mark clears the order";
    EXPECT_FALSE(file_.SetByteOrder(0));
}

TEST_F(EngineFileTest, MultiByteReadsFollowTheOrder) {
    std::string path = dir_.path("a.bin");
    writeFile(path, {0x34, 0x12, 0x78, 0x56, 0x34, 0x12, 0x34, 0x12, 0x78, 0x56, 0x34, 0x12});
    ASSERT_TRUE(file_.OpenRead(path));
    ASSERT_TRUE(file_.SetBuffer(3));  // the four-byte reads straddle refills
    ASSERT_TRUE(file_.SetByteOrder(EngineFile::kLittleEndian));
    EXPECT_EQ(file_.ReadU16(), 0x1234);
    EXPECT_EQ(file_.ReadU32(), 0x12345678u);
    ASSERT_TRUE(file_.SetByteOrder(EngineFile::kBigEndian));
    EXPECT_EQ(file_.ReadU16(), 0x3412);
    EXPECT_EQ(file_.ReadU32(), 0x78563412u);
    EXPECT_EQ(file_.Tell(), 12);
    EXPECT_FALSE(file_.ShortRead());
}

TEST_F(EngineFileTest, MultiByteReadsWithoutAnOrderGiveZero) {
    std::string path = dir_.path("a.bin");
    writeFile(path, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    ASSERT_TRUE(file_.OpenRead(path));
    EXPECT_EQ(file_.ReadU16(), 0);
    EXPECT_EQ(file_.ReadU32(), 0u);
    ASSERT_TRUE(file_.SetByteOrder(EngineFile::kBigEndian));
    ASSERT_TRUE(file_.Close());
    ASSERT_TRUE(file_.OpenRead(path));
    EXPECT_EQ(file_.ByteOrder(), 0) << "closing resets the order";
    EXPECT_EQ(file_.ReadU16(), 0);
}

TEST_F(EngineFileTest, MultiByteReadsPastTheEndGiveZeroAndShortRead) {
    std::string path = dir_.path("a.bin");
    writeFile(path, {0x01, 0x02, 0x03});
    ASSERT_TRUE(file_.OpenRead(path));
    ASSERT_TRUE(file_.SetByteOrder(EngineFile::kLittleEndian));
    EXPECT_EQ(file_.ReadU16(), 0x0201);
    EXPECT_FALSE(file_.ShortRead());
    EXPECT_EQ(file_.ReadU16(), 0);
    EXPECT_TRUE(file_.ShortRead());
    ASSERT_TRUE(file_.SeekSet(0));
    EXPECT_EQ(file_.ReadU32(), 0u);
}

}  // namespace
}  // namespace pm32
