#include "tools/picbuf/failure_place.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/file_access.h"
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
    if (int refusal = member->writes ? platform::WriteRefusal(path) : platform::ReadRefusal(path))
        line += ": " + std::string(std::strerror(refusal));
    return line + ')';
}

}  // namespace pm32::tools
