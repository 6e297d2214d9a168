#pragma once

#include <QString>

namespace pm32::viewer {

// Edits of a user's mimeapps.list. Every other entry and line stays; a
// missing file is made by adding and left alone by removing. False when the
// file cannot be read or written.

// Lists the desktop entry for the MIME type under "[Added Associations]",
// which desktops require of a default application that does not name the
// type itself.
bool AddAssociation(const QString& listPath, const QString& mimeType, const QString& desktopId);

// Takes the desktop entry out of the type's lines in "[Default
// Applications]" and "[Added Associations]"; a line left empty goes.
bool RemoveApplication(const QString& listPath, const QString& mimeType, const QString& desktopId);

}  // namespace pm32::viewer
