#pragma once

#include <QApplication>

namespace pm32::test {

// The widget application of the test program, on the offscreen platform so
// that no display is needed; made on first use.
QApplication& OffscreenApplication();

}  // namespace pm32::test
