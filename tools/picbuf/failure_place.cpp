#include "tools/picbuf/failure_place.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "platform/text_compare.h"

namespace pm32::tools {
namespace {

struct FileMember {
    std::string_view name;
    bool writes;
};

// The members that read or write the file FileName names.
constexpr std::array kFileMembers = {
    FileMember{"Load", false},        FileMember{"LoadCallback", false},
    FileMember{"CountImages", false}, FileMember{"LoadPal", false},
    FileMember{"Store", true},        FileMember{"StorePal", true},
    FileMember{"AppendTIFF", true}};

// The failures that concern the file itself rather than the call or the image.
constexpr std::array<ErrorNumber, 22> kFileErrors = {err::FileMissing,
                                                     err::BadFile,
                                                     err::FormatNotSupported,
                                                     err::WriteFailed,
                                                     err::TiffCompressionUnsupported,
                                                     err::BadFaxFile,
                                                     err::FifTableMissing,
                                                     err::InvalidPaletteFile,
                                                     err::JpegTypeUnsupported,
                                                     err::UnknownSymbol,
                                                     err::PngReadFailed,
                                                     err::PngWriteFailed,
                                                     err::JpegReadFailed,
                                                     err::JpegWriteFailed,
                                                     err::FifVersionTooNew,
                                                     err::FifTableRead,
                                                     err::FifReadFailed,
                                                     err::OpenFileFailure,
                                                     err::CloseFileFailure,
                                                     err::WriteFileFailure,
                                                     err::FileNameEmpty,
                                                     err::FileNameTooLong};

const FileMember* fileMember(std::string_view name) {
    for (const FileMember& member : kFileMembers)
        if (platform::EqualsIgnoringCase(member.name, name)) return &member;
    return nullptr;
}

std::string reason(int error) { return std::strerror(error); }

std::string fileName(automation::Dispatch& control) {
    std::optional<automation::DispId> id = control.GetIdOfName("FileName");
    if (!id) return {};
    try {
        return control.Invoke(*id, automation::InvokeKind::PropertyGet, {}).toString();
    } catch (const automation::AutomationError&) {
        return {};
    }
}

}  // namespace

std::string FileRefusal(const std::string& path, bool writing) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) return reason(EISDIR);
        if (::access(path.c_str(), writing ? W_OK : R_OK) != 0) return reason(errno);
        return {};
    }
    if (!writing || errno != ENOENT) return reason(errno);
    // A new file needs a folder that exists and takes it.
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    if (::access(folder.c_str(), W_OK | X_OK) != 0) return reason(errno);
    return {};
}

std::string FailurePlace(int number, std::string_view text, const Statement& statement,
                         ErrorNumber error, automation::Dispatch& control) {
    std::string line = "  in statement " + std::to_string(number) + ": " + std::string(text);
    const FileMember* member = fileMember(statement.member);
    if (member == nullptr || statement.value ||
        std::ranges::find(kFileErrors, error) == kFileErrors.end())
        return line;
    const std::string path = fileName(control);
    if (path.empty()) return line;
    line += " (file \"" + path + '"';
    if (std::string refusal = FileRefusal(path, member->writes); !refusal.empty())
        line += ": " + refusal;
    return line + ')';
}

}  // namespace pm32::tools
