#pragma once

#include <QString>
#include <array>

namespace pm32::viewer {

// A file type the viewer can be the default application for.
struct AssociatedType {
    const char* word;       // as the Preferences dialog names it
    const char* extension;  // with the dot
    const char* mimeType;
};

// JPG, RLE, TGA, TIF, PCX, GIF and BMP, in the dialog's order.
const std::array<AssociatedType, 7>& AssociatedTypes();

// The viewer as the desktop's default application for MIME types, through
// xdg-mime and the user's XDG folders (as the environment names them).
class Associations {
  public:
    static QString DesktopId() { return "vstl32.desktop"; }

    // Writes the desktop entry that starts the executable (it names no
    // types, so it becomes no type's default unasked), and the MIME package
    // for the types shared-mime-info lacks, into the user's data
    // folder, then refreshes the user's MIME database. False when any step
    // fails.
    bool install(const QString& executable) const;
    bool installed() const;

    // Whether xdg-mime reports our desktop entry as the type's default.
    bool isDefault(const QString& mimeType) const;
    // Sets the default through xdg-mime and lists the association the
    // desktop entry does not declare itself.
    bool makeDefault(const QString& mimeType) const;
    // Takes only our entries out of the user's defaults and associations.
    bool removeDefault(const QString& mimeType) const;

    static QString DataHome();
    static QString ConfigHome();
};

}  // namespace pm32::viewer
