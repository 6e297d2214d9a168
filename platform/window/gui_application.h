#pragma once
#include "platform/toolkit_export.h"

class QApplication;
class QGuiApplication;

namespace pm32::platform {

// The process's Qt GUI application, made on first use by whatever draws,
// measures text or uses the clipboard, so work that draws nothing never pays
// for it. Without a display it runs on the offscreen platform. Returns null
// when the process already has a Qt application without GUI support.
PM32_TOOLKIT_API QGuiApplication* EnsureGuiApplication();

// The same for work that shows or renders widgets: a widget application,
// on the offscreen platform when there is no display or when asked to
// render without one. Made first, it serves drawing too; null when the
// process already has an application without widget support.
PM32_TOOLKIT_API QApplication* EnsureWidgetApplication(bool withoutDisplay = false);

}  // namespace pm32::platform
