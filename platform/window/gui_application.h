#pragma once

class QGuiApplication;

namespace pm32::platform {

// The process's Qt GUI application, made on first use by whatever draws,
// measures text or uses the clipboard, so work that draws nothing never pays
// for it. Without a display it runs on the offscreen platform. Returns null
// when the process already has a Qt application without GUI support.
QGuiApplication* EnsureGuiApplication();

}  // namespace pm32::platform
