#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "platform/message_box.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_dibs.h"
#include "viewer/picedit.h"
#include "viewer/settings.h"

// Paths print as text in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace pm32::test {

// What the viewer showed in message boxes, answered from a queue (the
// default button when the queue is empty).
class BoxRecorder {
  public:
    BoxRecorder();
    ~BoxRecorder();

    void answerWith(platform::BoxAnswer answer) { answers_.push_back(answer); }
    std::vector<std::string> texts;
    std::vector<std::string> captions;

  private:
    std::deque<platform::BoxAnswer> answers_;
};

// The pixel of a test picture.
Rgb Pattern(int x, int y);

// The OLE colour the control reports for a pixel: red low, blue high.
std::int32_t OleColor(Rgb color);

// A real main window on the offscreen platform, with its settings, undo
// folder and test files in a fresh folder.
class ViewerTest : public ::testing::Test {
  protected:
    ViewerTest();
    ~ViewerTest() override;

    QString file(const std::string& name) const { return QString::fromStdString(dir.path(name)); }
    // Writes a true-colour picture of the pattern as a file (format by the
    // name's extension) through a control of its own.
    QString writeImage(const std::string& name, int width, int height);
    // Opens the file in the window and fails the test when it does not open.
    void open(const QString& path);

    QSize shownSize();
    int shownDepth();
    std::int32_t shownColor(int x, int y);
    QAction* action(const char* name);
    void trigger(const char* name);

    TempDir dir;
    BoxRecorder boxes;
    std::unique_ptr<viewer::ViewerSettings> settings;
    std::unique_ptr<viewer::PicEdit> window;
};

}  // namespace pm32::test
