#include "viewer/help_page.h"

#include <QCoreApplication>

namespace pm32::viewer {

QString HelpPagePath() { return QCoreApplication::applicationDirPath() + "/help/vstl32.html"; }

}  // namespace pm32::viewer
