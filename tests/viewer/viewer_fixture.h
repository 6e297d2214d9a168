#pragma once

#include <gtest/gtest.h>

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
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

// Answers the modal dialogs the window opens, in order: each step gets the
// dialog as it shows and should close it. A dialog the step leaves open, or
// one no step is left for, is rejected and fails the test, so nothing waits
// for a user.
class DialogDriver {
  public:
    DialogDriver();
    ~DialogDriver();

    // Watches from now on; needs the application.
    void start() { timer_.start(); }
    void then(std::function<void(QDialog&)> step) { steps_.push_back(std::move(step)); }
    bool done() const { return steps_.empty(); }

  private:
    void poll();

    QTimer timer_;
    std::deque<std::function<void(QDialog&)>> steps_;
    // A dialog gets one step, also when it shows again after a nested one.
    std::vector<QPointer<QDialog>> handled_;
};

// The dialog as its own class; fails the test when it is another.
template <class Dialog>
Dialog& As(QDialog& dialog) {
    auto* found = qobject_cast<Dialog*>(&dialog);
    if (found == nullptr) {
        ADD_FAILURE() << "an unexpected dialog opened: " << dialog.objectName().toStdString();
        throw std::runtime_error("unexpected dialog");
    }
    return *found;
}

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
    DialogDriver dialogs;
    std::unique_ptr<viewer::ViewerSettings> settings;
    std::unique_ptr<viewer::PicEdit> window;
};

}  // namespace pm32::test
