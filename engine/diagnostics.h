#pragma once

#include <string>

#include "engine/errors.h"

namespace pm32 {

// Diagnostic kinds: each selects the level needed to show a box, its caption
// and its buttons.
enum class DiagnosticKind {
    Hand = 0,
    Exclamation = 1,
    Memory = 2,
    Severe = 3,
    Confirm = 4,
    Trace = 5
};

// The process's diagnostic level: profile section "Pixmill", key "Debug",
// read once; a stored 0 means 100, an absent key -1.
int DiagnosticLevel();

// Whether a diagnostic of this kind is shown at this level.
bool DiagnosticShown(int level, DiagnosticKind kind);

// The box text for a location code and the caption for a kind, with the
// stand-in texts where the string table has none.
std::string DiagnosticText(int location);
std::string DiagnosticCaption(DiagnosticKind kind);

// The diagnostic reporter: constructed at a failure site, it shows its box
// when the level asks for it and, on the kind's stopping answer, asks the
// host to quit with exit code 1.
class ZUtility {
  public:
    ZUtility(int location, DiagnosticKind kind);
    bool stopRequested() const { return stopRequested_; }

  private:
    bool stopRequested_ = false;
};

// Reports a failure site and hands back its number, so a site reads
// `return reportFailure(err::BadFile, location::BmpBadFileHeader);`.
ErrorNumber reportFailure(ErrorNumber number, int location,
                          DiagnosticKind kind = DiagnosticKind::Hand);

// The file readers' form: true when the user asked to stop.
bool ReportDiagnostic(int location, DiagnosticKind kind);

// Status codes of the colour-reduction engine as error numbers.
ErrorNumber StatusToError(int status);

}  // namespace pm32
