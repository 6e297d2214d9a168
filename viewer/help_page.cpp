#include "viewer/help_page.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace pm32::viewer {

QString HelpPagePath() {
    const QString besideProgram = QCoreApplication::applicationDirPath() + "/help/vstl32.html";
    if (QFileInfo::exists(besideProgram)) return besideProgram;
    return QStringLiteral(PM32_INSTALLED_HELP);
}

}  // namespace pm32::viewer
