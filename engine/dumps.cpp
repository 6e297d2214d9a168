#include "engine/dumps.h"

#include <fcntl.h>

#include <cstdio>
#include <memory>

#include "engine/dib_layout.h"
#include "engine/string_table.h"
#include "engine/zdib.h"
#include "platform/file_descriptor.h"
#include "platform/replacement_file.h"
#include "platform/stdio_file.h"

namespace pm32 {
namespace {

using platform::ReplacementFile;
using platform::StdioFile;

// Opens the replacement's file; nothing when the replacement could not be set up.
StdioFile openText(const ReplacementFile& target, const char* mode) {
    return target ? platform::openStdio(target.Path(), mode) : StdioFile();
}

std::string messageLines(unsigned first, unsigned last) {
    std::string text;
    char line[1100];
    for (unsigned id = first; id <= last; ++id) {
        auto message = LoadResourceString(id);
        std::string body = message ? std::string(*message) : "***** MISSING ******";
        std::snprintf(line, sizeof line, "%8d %s\n", static_cast<int>(id), body.c_str());
        text += line;
    }
    return text;
}

void writeImageData(std::FILE* out, ZDib& image) {
    std::fputs("\n******* IMAGE DATA *******\n\n", out);
    if (image.depth == 24)
        std::fputs(
            "                      r   g   b   r   g   b   r   g   b   r   g   b   r   g   b\n",
            out);
    auto rows = image.BuildRowTable();
    unsigned columnStep = image.depth == 24 ? 3 : 1;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        std::fprintf(out, "line %4u col    0:",
                     static_cast<unsigned>(image.height - 1 - static_cast<std::int32_t>(row)));
        for (std::uint32_t i = 0; i < image.rowBytes; ++i) {
            if (i != 0 && i % 15 == 0) std::fprintf(out, "\n          col %4u:", i / columnStep);
            std::fprintf(out, "%4u", rows[row][i]);
        }
        std::fputs("\n", out);
    }
    image.DiscardRowTable();
}

void writePaletteDump(std::FILE* out, std::uint32_t count,
                      std::span<const platform::PALETTEENTRY> entries) {
    std::fprintf(out, "******* Palette *******\n  colors in palette=%u\n", count);
    std::fprintf(out, "   PC_NOCOLLAPSE=%d\n   PC_RESERVED=%d\n", platform::PC_NOCOLLAPSE,
                 platform::PC_RESERVED);
    std::fputs("\n***** Palette *****\nEntry  Red Green  Blue Reserved\n", out);
    for (unsigned i = 0; i < 256; ++i) {
        if (i == count) std::fputs("*-*-*- Entries below not used *-*-*-\n", out);
        platform::PALETTEENTRY e = i < entries.size() ? entries[i] : platform::PALETTEENTRY{};
        std::fprintf(out, "%5d %3d    %3d   %3d%5d\n", static_cast<int>(i), e.peRed, e.peGreen,
                     e.peBlue, e.peFlags);
    }
}

}  // namespace

ErrorNumber WriteMessageList(const std::string& path) {
    ReplacementFile target(path);
    if (!target) return err::OpenFileFailure;
    platform::FileDescriptor file(target.Path(), O_WRONLY | O_CREAT | O_TRUNC);
    if (!file) return err::OpenFileFailure;
    std::string text = "******** Control Messages **********\n" +
                       messageLines(err::PictureTypeRefused, err::OptionNotShort) +
                       "\n******** Engine Messages **********\n" +
                       messageLines(err::FileMissing, err::BadBlueRange);
    bool written = file.WriteAll(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    bool closed = file.Close();
    if (!written) return err::WriteFileFailure;
    if (!closed || !target.Commit()) return err::CloseFileFailure;
    return 0;
}

int AppendPaletteDump(const std::string& path, std::uint32_t count,
                      std::span<const platform::PALETTEENTRY> entries) {
    // The dump is added to a copy, so a failed write leaves the file as it was.
    ReplacementFile target(path, ReplacementFile::Start::TargetCopyOrEmpty);
    StdioFile out = openText(target, "a");
    if (!out) return 4;
    writePaletteDump(out.get(), count, entries);
    return platform::closeStdio(out) && target.Commit() ? 0 : 4;
}

void ZDib::Dump(const std::string& path, int option) {
    if (option == 2 && depth == 24) {
        error = err::TrueColorHasNoPalette;
        return;
    }
    if (option < 0 || option > 2) {
        error = err::BadDumpOption;
        return;
    }
    if (handle == 0) {
        error = err::InvalidPicture;
        return;
    }
    // Header, palette and image data go to one replacement, so a dump that
    // fails on the way leaves the file as it was.
    ReplacementFile target(path);
    StdioFile out = openText(target, "w");
    if (!out) {
        error = err::BadFile;
        return;
    }
    std::fprintf(out.get(), "  width=%d  height=%d  bits deep=%u  bytes per line=%u", width, height,
                 depth, rowBytes);
    if (depth < 24) std::fprintf(out.get(), "  colors in palette=%u", colorsUsed);
    std::fputs("\n", out.get());
    if (depth < 24 && option != 1) {
        PALETTEENTRY table[256] = {};
        std::size_t count = GetPalette(table);
        writePaletteDump(out.get(), colorsUsed, std::span(table, count));
    }
    if (option != 2) writeImageData(out.get(), *this);
    if (!platform::closeStdio(out) || !target.Commit()) error = err::BadFile;
}

}  // namespace pm32
