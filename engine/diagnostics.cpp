#include "engine/diagnostics.h"

#include "engine/string_table.h"
#include "platform/message_box.h"
#include "platform/profile.h"

namespace pm32 {
namespace {

using platform::BoxAnswer;

struct KindRule {
    int minimumLevel;
    unsigned captionId;
    std::uint32_t style;
    BoxAnswer stopAnswer;
    bool canStop;
};

constexpr KindRule kKindRules[] = {
    {1, 25101, platform::MB_ICONHAND | platform::MB_ABORTRETRYIGNORE, BoxAnswer::Abort, true},
    {2, 25102, platform::MB_ICONEXCLAMATION | platform::MB_ABORTRETRYIGNORE, BoxAnswer::Abort,
     true},
    {4, 25104, platform::MB_OK, BoxAnswer::Ok, false},
    {3, 25103, platform::MB_ICONHAND | platform::MB_ABORTRETRYIGNORE, BoxAnswer::Abort, true},
    {1, 25106, platform::MB_ICONHAND | platform::MB_OKCANCEL, BoxAnswer::Cancel, true},
    {5, 25105, platform::MB_OK, BoxAnswer::Ok, false},
};

const KindRule& ruleOf(DiagnosticKind kind) { return kKindRules[static_cast<int>(kind)]; }

// A missing string stands as its bracketed fallback around the id.
std::string stringOrFallback(unsigned id) {
    if (auto text = LoadResourceString(id)) return std::string(*text);
    auto part = [](unsigned partId, const char* fallback) {
        auto text = LoadResourceString(partId);
        return text ? std::string(*text) : std::string(fallback);
    };
    return part(25200, "(IDS_RcStringBadRTStringID1:Does Not Exist)") + std::to_string(id) +
           part(25201, "(IDS_RcStringBadRTStringID2:Does Not Exist)");
}

}  // namespace

int DiagnosticLevel() {
    static const int level = [] {
        int stored = platform::GetProfileInt("Pixmill", "Debug", -1);
        return stored == 0 ? 100 : stored;
    }();
    return level;
}

bool DiagnosticShown(int level, DiagnosticKind kind) {
    return level > 0 && level >= ruleOf(kind).minimumLevel;
}

std::string DiagnosticText(int location) {
    return stringOrFallback(static_cast<unsigned>(location));
}

std::string DiagnosticCaption(DiagnosticKind kind) {
    return stringOrFallback(25100) + " " + stringOrFallback(ruleOf(kind).captionId);
}

ZUtility::ZUtility(int location, DiagnosticKind kind) {
    if (!DiagnosticShown(DiagnosticLevel(), kind)) return;
    const KindRule& rule = ruleOf(kind);
    BoxAnswer answer =
        platform::MessageBox(DiagnosticText(location), DiagnosticCaption(kind), rule.style);
    if (rule.canStop && answer == rule.stopAnswer) {
        stopRequested_ = true;
        platform::PostQuitMessage(1);
    }
}

ErrorNumber reportFailure(ErrorNumber number, int location, DiagnosticKind kind) {
    ZUtility{location, kind};
    return number;
}

bool ReportDiagnostic(int location, DiagnosticKind kind) {
    return ZUtility{location, kind}.stopRequested();
}

ErrorNumber StatusToError(int status) {
    switch (status) {
        case 0:
            return err::None;
        case 1:
            return err::OutOfMemory;
        case 2:
            return err::TooManyColors;
        case 3:
            return err::TooFewColors;
        case 4:
            return err::BadFile;
        case 5:
            return err::ReservedOutOfBounds;
        default:
            return err::AssertFailed;
    }
}

}  // namespace pm32
