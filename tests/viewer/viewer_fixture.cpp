#include "tests/viewer/viewer_fixture.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QTest>

#include "tests/window/offscreen_application.h"
#include "viewer/image_files.h"

namespace pm32::test {

BoxRecorder::BoxRecorder() {
    platform::SetMessageBoxHandler(
        [this](std::string_view text, std::string_view caption, std::uint32_t style) {
            texts.emplace_back(text);
            captions.emplace_back(caption);
            if (answers_.empty()) return platform::DefaultAnswer(style);
            const platform::BoxAnswer answer = answers_.front();
            answers_.pop_front();
            return answer;
        });
}

BoxRecorder::~BoxRecorder() { platform::SetMessageBoxHandler({}); }

DialogDriver::DialogDriver() {
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
}

DialogDriver::~DialogDriver() {
    timer_.stop();
    EXPECT_TRUE(steps_.empty()) << steps_.size() << " dialog steps never ran";
}

void DialogDriver::poll() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    for (const QPointer<QDialog>& handled : handled_)
        if (handled == dialog) return;
    handled_.push_back(dialog);
    if (steps_.empty()) {
        ADD_FAILURE() << "no step for the dialog " << dialog->objectName().toStdString();
        dialog->reject();
        return;
    }
    // The step runs from a timer of its own: a timer does not fire again
    // while its handler runs, and a step may open the next dialog.
    std::function<void(QDialog&)> step = std::move(steps_.front());
    steps_.pop_front();
    QPointer<QDialog> guard(dialog);
    QTimer::singleShot(0, dialog, [guard, step = std::move(step)] {
        try {
            step(*guard);
        } catch (const std::exception&) {
            // The step has failed the test already.
        }
        if (guard && guard->isVisible()) {
            ADD_FAILURE() << "the step left " << guard->objectName().toStdString() << " open";
            guard->reject();
        }
    });
}

Rgb Pattern(int x, int y) {
    return {static_cast<std::uint8_t>(x * 5), static_cast<std::uint8_t>(y * 7),
            static_cast<std::uint8_t>((x + y) * 3)};
}

std::int32_t OleColor(Rgb color) { return color.red | color.green << 8 | color.blue << 16; }

ViewerTest::ViewerTest() {
    OffscreenApplication();
    // An unexpected dialog fails the test rather than waiting for a user.
    dialogs.start();
    qputenv("temp", QByteArray::fromStdString(dir.path("")));
    settings = std::make_unique<viewer::ViewerSettings>(file("vstl32.ini"));
    window = std::make_unique<viewer::PicEdit>(*settings);
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
}

ViewerTest::~ViewerTest() {
    window.reset();
    qunsetenv("temp");
}

QString ViewerTest::writeImage(const std::string& name, int width, int height) {
    viewer::Picbuf maker;
    maker.call("ImportDib",
               {viewer::Long(static_cast<int>(TrueColorDib(width, height, Pattern).take())),
                automation::Variant::Bool(true)});
    const QString path = file(name);
    // GIF holds palette images only.
    if (path.endsWith(".gif"))
        maker.call("ReduceColors",
                   {viewer::Short(256), viewer::Short(1), viewer::Short(0), viewer::Short(0)});
    EXPECT_EQ(viewer::StoreImage(maker, path, viewer::FormatOfPath(path), 90), 0u) << name;
    return path;
}

void ViewerTest::open(const QString& path) {
    ASSERT_TRUE(window->openFile(path))
        << path.toStdString() << ": " << (boxes.texts.empty() ? "" : boxes.texts.back());
}

QSize ViewerTest::shownSize() {
    return {window->shown().getInt("Xresolution"), window->shown().getInt("Yresolution")};
}

int ViewerTest::shownDepth() { return window->shown().getInt("ColorDepth"); }

std::int32_t ViewerTest::shownColor(int x, int y) {
    return window->shown().call("GetColor", {viewer::Short(x), viewer::Short(y)}).toI4();
}

QAction* ViewerTest::action(const char* name) {
    auto* found = window->findChild<QAction*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void ViewerTest::trigger(const char* name) {
    QAction* found = action(name);
    ASSERT_NE(found, nullptr);
    ASSERT_TRUE(found->isEnabled()) << name;
    found->trigger();
}

}  // namespace pm32::test
