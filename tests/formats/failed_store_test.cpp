// Every store writes a replacement and puts it in the target's place only
// when all of it is written: a store that fails half way, or cannot start,
// leaves the file that was there byte for byte and no leftover beside it.

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "engine/dumps.h"
#include "engine/zdib.h"
#include "formats/bmp.h"
#include "formats/gif.h"
#include "formats/jpeg.h"
#include "formats/palette_file.h"
#include "formats/pcx.h"
#include "formats/png.h"
#include "formats/targa.h"
#include "formats/tiff.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_dibs.h"

namespace pm32 {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;
using Bytes = std::vector<std::uint8_t>;

// Small pictures make the files stored over; large noisy ones outgrow any
// file-size limit the tests set, whatever the compression.
enum class Picture { Small, Large };

ZDib picture(std::uint32_t depth, Picture size) {
    const bool large = size == Picture::Large;
    const int width = large ? 320 : 16;
    const int height = large ? 240 : 12;
    const unsigned seed = large ? 7 : 3;
    test::OwnedDib dib;
    if (depth == 24) {
        dib = test::RandomTrueColorDib(width, height, seed);
    } else {
        std::vector<test::Rgb> table;
        for (unsigned i = 0; i < (1u << depth); ++i)
            table.push_back({static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 3),
                             static_cast<std::uint8_t>(255 - i)});
        dib = test::PaletteDib(static_cast<int>(depth), width, height, table, [=](int x, int y) {
            return static_cast<unsigned>((x * 7919 + y * 104729 + x * y * seed) >> 3) %
                   (1u << depth);
        });
    }
    ZDib image;
    image.Attach(dib.take(), true, false, DepthRule::Any);
    return image;
}

using Writer = void (*)(ZDib& image, const std::string& path);

std::function<ErrorNumber(const std::string&, Picture)> imageStore(Writer writer,
                                                                   std::uint32_t depth) {
    return [=](const std::string& path, Picture size) {
        ZDib image = picture(depth, size);
        writer(image, path);
        return image.error;
    };
}

ErrorNumber storePalette(const std::string& path, Picture size) {
    std::vector<PALETTEENTRY> entries(size == Picture::Large ? 256 : 16);
    for (std::size_t i = 0; i < entries.size(); ++i)
        entries[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i / 2), 9, 0};
    platform::HPALETTE palette = platform::CreatePalette(entries);
    ErrorNumber result = WritePaletteFile(palette, path);
    platform::DeletePalette(palette);
    return result;
}

// The message list is always the same text, so the file it replaces is some
// other text.
ErrorNumber storeMessageList(const std::string& path, Picture size) {
    if (size == Picture::Large) return WriteMessageList(path);
    test::writeText(path, "an older list\n");
    return 0;
}

ErrorNumber storeImageDump(const std::string& path, Picture size) {
    ZDib image = picture(8, size);
    image.Dump(path, 0);
    return image.error;
}

// Status 4 is the one failure of the palette dump; its callers report it as 20101.
ErrorNumber appendPaletteDump(const std::string& path, Picture size) {
    std::vector<PALETTEENTRY> entries(size == Picture::Large ? 256 : 4, {1, 2, 3, 0});
    return AppendPaletteDump(path, static_cast<std::uint32_t>(entries.size()), entries) == 0
               ? 0
               : err::BadFile;
}

ErrorNumber appendTiff(const std::string& path, Picture size) {
    ZDib image = picture(8, size);
    // The small picture makes the file appended to.
    StoreTIFF(image, path, 0, size == Picture::Large);
    return image.error;
}

struct StoreCase {
    const char* name;
    const char* file;
    // Picture::Small makes the existing file, Picture::Large the store under test.
    std::function<ErrorNumber(const std::string&, Picture)> store;
    ErrorNumber cannotCreate;  // the folder cannot take a new file
    ErrorNumber cannotWrite;   // the disk fills half way
};

void PrintTo(const StoreCase& c, std::ostream* out) { *out << c.name; }

std::vector<StoreCase> storeCases() {
    return {
        {"Bmp", "a.bmp", imageStore(StoreBMP, 24), err::WriteFailed, err::WriteFailed},
        {"Gif", "a.gif", imageStore(StoreGIF, 8), err::FileMissing, err::WriteFailed},
        {"Tiff", "a.tif",
         [](const std::string& path, Picture size) {
             ZDib image = picture(24, size);
             StoreTIFF(image, path, 0, false);
             return image.error;
         },
         err::WriteFailed, err::WriteFailed},
        {"TiffLzw", "a.tif",
         [](const std::string& path, Picture size) {
             ZDib image = picture(4, size);
             StoreTIFF(image, path, 1, false);
             return image.error;
         },
         err::WriteFailed, err::WriteFailed},
        {"AppendTiff", "a.tif", appendTiff, err::WriteFailed, err::WriteFailed},
        {"Pcx", "a.pcx", imageStore(StorePCX, 8), err::WriteFailed, err::WriteFailed},
        {"Targa", "a.tga",
         [](const std::string& path, Picture size) {
             ZDib image = picture(24, size);
             StoreTGA(image, path, 0);
             return image.error;
         },
         err::WriteFailed, err::WriteFailed},
        {"TargaRle", "a.tga",
         [](const std::string& path, Picture size) {
             ZDib image = picture(8, size);
             StoreTGA(image, path, 2);
             return image.error;
         },
         err::WriteFailed, err::WriteFailed},
        {"Png", "a.png",
         [](const std::string& path, Picture size) {
             ZDib image = picture(24, size);
             StorePNG(image, path, 0);
             return image.error;
         },
         20182, 20182},
        {"Jpeg", "a.jpg",
         [](const std::string& path, Picture size) {
             ZDib image = picture(24, size);
             StoreJPEG(image, path, 95, 1);
             return image.error;
         },
         20184, 20184},
        {"PaletteFile", "a.pal", storePalette, err::OperationFailure, err::WriteFailed},
        {"MessageList", "a.txt", storeMessageList, err::OpenFileFailure, err::WriteFileFailure},
        {"ImageDump", "a.txt", storeImageDump, err::BadFile, err::BadFile},
        {"PaletteDump", "a.txt", appendPaletteDump, err::BadFile, err::BadFile},
    };
}

// The unprivileged user the superuser's tests act as.
constexpr uid_t kNobody = 65534;

// How the child that runs a store is held back.
struct ChildLimits {
    std::optional<rlim_t> fileBytes;  // files may not grow past this many bytes
    bool asOrdinaryUser = false;      // the superuser gives up its rights first
};

// Runs the store in a child process under the limits; the error number it
// gave, or nothing when the child did not report one.
std::optional<ErrorNumber> storeInChild(const ChildLimits& limits,
                                        const std::function<ErrorNumber()>& store) {
    int channel[2];
    if (::pipe(channel) != 0) return std::nullopt;
    pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        bool ready = true;
        if (limits.fileBytes) {
            // Ignored, the signal turns into EFBIG from the write that crosses the limit.
            ::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{*limits.fileBytes, *limits.fileBytes};
            ready = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
        }
        if (limits.asOrdinaryUser && ::geteuid() == 0) {
            ready = ready && ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 &&
                    ::setuid(kNobody) == 0;
        }
        if (ready) {
            ErrorNumber result = store();
            ready = ::write(channel[1], &result, sizeof result) == sizeof result;
        }
        ::_exit(ready ? 0 : 1);
    }
    ::close(channel[1]);
    ErrorNumber result = 0;
    bool reported = child > 0 && ::read(channel[0], &result, sizeof result) == sizeof result;
    ::close(channel[0]);
    int status = 0;
    if (child > 0) ::waitpid(child, &status, 0);
    if (!reported || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return result;
}

std::set<std::string> namesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

class FailedStoreTest : public ::testing::TestWithParam<StoreCase> {
  protected:
    // An existing file of the case's own kind in folder; its bytes.
    Bytes existingFile(const std::string& path) {
        EXPECT_EQ(GetParam().store(path, Picture::Small), 0) << "cannot make the old file";
        return readFile(path);
    }

    TempDir dir_;
};

TEST_P(FailedStoreTest, AFullDiskKeepsTheOldFile) {
    const StoreCase& c = GetParam();
    const std::string path = dir_.path(c.file);
    const Bytes old = existingFile(path);
    ASSERT_FALSE(old.empty());

    // Room for a copy of the old file (appending works on one) and a little more.
    ChildLimits limits{.fileBytes = old.size() + 512, .asOrdinaryUser = false};
    EXPECT_EQ(storeInChild(limits, [&] { return c.store(path, Picture::Large); }), c.cannotWrite);
    EXPECT_TRUE(readFile(path) == old) << "the old file changed";
    EXPECT_EQ(namesIn(dir_.path("")), std::set<std::string>{c.file}) << "a leftover remains";

    // Without the limit the same store replaces the file, and leaves nothing beside it.
    ASSERT_EQ(c.store(path, Picture::Large), 0);
    EXPECT_TRUE(readFile(path) != old);
    EXPECT_GT(readFile(path).size(), old.size() + 512);
    EXPECT_EQ(namesIn(dir_.path("")), std::set<std::string>{c.file});
}

TEST_P(FailedStoreTest, AMissingFolderOrADirectoryCreatesNothing) {
    const StoreCase& c = GetParam();
    EXPECT_EQ(c.store(dir_.path("missing/") + c.file, Picture::Large), c.cannotCreate);
    EXPECT_FALSE(fs::exists(dir_.path("missing")));

    const std::string directory = dir_.path(c.file);
    fs::create_directory(directory);
    EXPECT_EQ(c.store(directory, Picture::Large), c.cannotCreate);
    EXPECT_TRUE(fs::is_directory(directory));
    EXPECT_TRUE(fs::is_empty(directory));
    EXPECT_EQ(namesIn(dir_.path("")), std::set<std::string>{c.file});
}

// A file the user may write, in a folder where no file can be made: the
// store cannot replace it safely, so it refuses rather than overwrite it in
// place.
TEST_P(FailedStoreTest, AReadOnlyFolderKeepsTheOldFileAndCreatesNothing) {
    const StoreCase& c = GetParam();
    const std::string folder = dir_.path("locked");
    fs::create_directory(folder);
    const std::string path = folder + "/" + c.file;
    const Bytes old = existingFile(path);
    fs::permissions(path, fs::perms::all & ~fs::perms::owner_exec & ~fs::perms::group_exec &
                              ~fs::perms::others_exec);
    fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                fs::perms::group_exec | fs::perms::others_read |
                                fs::perms::others_exec);
    // The superuser writes into any folder, so its child becomes an ordinary user.
    fs::permissions(dir_.path(""), fs::perms::others_exec, fs::perm_options::add);

    ChildLimits limits{.fileBytes = std::nullopt, .asOrdinaryUser = true};
    if (!storeInChild(limits, [] { return ErrorNumber{0}; }))
        GTEST_SKIP() << "no child can give up the superuser's rights here";
    EXPECT_EQ(storeInChild(limits, [&] { return c.store(path, Picture::Large); }), c.cannotCreate);
    EXPECT_TRUE(readFile(path) == old) << "the old file changed";
    EXPECT_EQ(namesIn(folder), std::set<std::string>{c.file});
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::add);
}

// Through a link the file it names is replaced, keeping its permissions (and,
// for the superuser, the owner); the link stays a link.
TEST_P(FailedStoreTest, ALinkedTargetIsReplacedWithItsPermissions) {
    const StoreCase& c = GetParam();
    fs::create_directory(dir_.path("real"));
    const std::string real = dir_.path("real/") + c.file;
    const Bytes old = existingFile(real);
    const fs::perms kept = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(real, kept);
    // The superuser's store gives the new file the old one's owner and group.
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(real.c_str(), kNobody, kNobody), 0);
    }
    struct stat before {};
    ASSERT_EQ(::stat(real.c_str(), &before), 0);
    const std::string link = dir_.path("link");
    fs::create_symlink(std::string("real/") + c.file, link);

    ASSERT_EQ(c.store(link, Picture::Large), 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), fs::path(std::string("real/") + c.file));
    EXPECT_TRUE(readFile(real) != old);
    EXPECT_EQ(fs::status(real).permissions(), kept);
    struct stat after {};
    ASSERT_EQ(::stat(real.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino) << "the file was not replaced";
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    EXPECT_EQ(namesIn(dir_.path("real")), std::set<std::string>{c.file});
}

INSTANTIATE_TEST_SUITE_P(EveryStore, FailedStoreTest, ::testing::ValuesIn(storeCases()),
                         [](const auto& test) { return std::string(test.param.name); });

// A pipe (like a device) has no contents to keep: the store writes into it,
// and it stays a pipe.
TEST(StoreInPlace, APipeIsWrittenNotReplaced) {
    TempDir dir;
    const std::string pipe = dir.path("pipe.bmp");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    // A reader must be there for the writer's open to go through.
    const int reader = ::open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    ASSERT_EQ(imageStore(StoreBMP, 24)(pipe, Picture::Small), 0);
    ASSERT_EQ(imageStore(StoreBMP, 24)(dir.path("file.bmp"), Picture::Small), 0);
    const Bytes expected = readFile(dir.path("file.bmp"));
    Bytes received(expected.size() + 1);
    const ssize_t got = ::read(reader, received.data(), received.size());
    ::close(reader);
    received.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    EXPECT_TRUE(received == expected);
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_EQ(namesIn(dir.path("")), (std::set<std::string>{"file.bmp", "pipe.bmp"}));
}

// AppendTIFF keeps the images already in the file byte for byte: only the
// link of the last directory changes to reach the new one.
TEST(AppendTiffStore, KeepsThePreviousImagesByteForByte) {
    TempDir dir;
    const std::string path = dir.path("a.tif");
    ASSERT_EQ(appendTiff(path, Picture::Small), 0);
    ASSERT_EQ(appendTiff(path, Picture::Large), 0);
    const Bytes before = readFile(path);
    ASSERT_EQ(appendTiff(path, Picture::Large), 0);
    const Bytes after = readFile(path);
    ASSERT_GT(after.size(), before.size());
    std::size_t changed = 0;
    for (std::size_t i = 0; i < before.size(); ++i) changed += before[i] != after[i] ? 1 : 0;
    EXPECT_LE(changed, 4u) << "more than the 4-byte link changed";
    EXPECT_GT(changed, 0u) << "the last directory must link to the new one";
}

}  // namespace
}  // namespace pm32
