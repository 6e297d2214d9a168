#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>

#include "platform/window/widget_window_host.h"
#include "tests/viewer/viewer_fixture.h"

namespace pm32::test {
namespace {

class Tools : public ViewerTest {
  protected:
    Tools() {
        // Actual size on opening, so the tests know where each pixel shows.
        settings->setSmallZoom(false);
        settings->setLargeZoom(false);
        open(writeImage("large.bmp", 800, 600));
        window->resize(500, 400);
        QTest::qWait(10);
    }

    QWidget* client() { return window->host().clientArea(); }
    QString zoomLabel() { return window->findChild<QLabel*>("Label1")->text(); }
    QLineEdit* field(int i) { return window->findChild<QLineEdit*>(QString("Text1_%1").arg(i)); }
    // The image pixel at the top-left corner of the view.
    QPoint origin() {
        return {window->shown().call("ScreenToImageX", {viewer::Short(0)}).toI4(),
                window->shown().call("ScreenToImageY", {viewer::Short(0)}).toI4()};
    }
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mousePress(client(), Qt::LeftButton, modifiers, from);
        QTest::mouseMove(client(), (from + to) / 2);
        QTest::mouseMove(client(), to);
        QTest::mouseRelease(client(), Qt::LeftButton, modifiers, to);
    }
};

TEST_F(Tools, ZoomClicksStepInAndAltClicksStepOutAboutThePoint) {
    trigger("Image1_0");
    EXPECT_EQ(window->activeTool(), viewer::PicEdit::Tool::Zoom);
    EXPECT_EQ(window->statusBar()->currentMessage().toStdString(), "Alt = zoom out.");
    EXPECT_EQ(client()->toolTip().toStdString(),
              "Click to zoom. Click/drag zooms area.  Alt shrinks.");
    EXPECT_EQ(zoomLabel().toStdString(), "1:1");
    QTest::mouseClick(client(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 80));
    EXPECT_EQ(zoomLabel().toStdString(), "3:2");
    QTest::mouseClick(client(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 80));
    EXPECT_EQ(zoomLabel().toStdString(), "2:1");
    // The pixel that was under the pointer stays under it, to a unit.
    EXPECT_NEAR(window->shown().call("ScreenToImageX", {viewer::Short(100)}).toI4(), 100, 1);
    EXPECT_NEAR(window->shown().call("ScreenToImageY", {viewer::Short(80)}).toI4(), 80, 1);
    QTest::mouseClick(client(), Qt::LeftButton, Qt::AltModifier, QPoint(100, 80));
    EXPECT_EQ(zoomLabel().toStdString(), "3:2");
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(client(), Qt::LeftButton, Qt::AltModifier, QPoint(10, 10));
    EXPECT_EQ(zoomLabel().toStdString(), "1:2");
    EXPECT_EQ(window->zoom(), (viewer::ZoomRatio{1, 2}));
    EXPECT_EQ(window->shown().getInt("ScaleImage"), 2);
}

TEST_F(Tools, ZoomDragFillsTheViewWithTheArea) {
    trigger("Image1_0");
    drag({100, 50}, {150, 100});
    // The 51 x 51 pixels dragged over (both corners count) fill the view.
    const viewer::ZoomRatio ratio = viewer::AreaRatio({51, 51}, window->host().size());
    EXPECT_GT(ratio.screen, 3 * ratio.image);
    EXPECT_EQ(zoomLabel(), viewer::RatioText(ratio));
    // The view starts at the area's corner, as far as whole units allow.
    EXPECT_LE(origin().x(), 100);
    EXPECT_GT(origin().x(), 100 - ratio.image);
    EXPECT_LE(origin().y(), 50);
    EXPECT_GT(origin().y(), 50 - ratio.image);
}

TEST_F(Tools, CropDragFillsTheFieldsAndApplyCrops) {
    trigger("Image1_1");
    EXPECT_EQ(window->activeTool(), viewer::PicEdit::Tool::Crop);
    drag({20, 30}, {120, 90});
    const char* expected[] = {"20", "30", "101", "61"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(field(i)->text().toStdString(), expected[i]);
    window->findChild<QPushButton*>("cropApply")->click();
    EXPECT_EQ(shownSize(), QSize(101, 61));
    EXPECT_EQ(shownColor(0, 0), OleColor(Pattern(20, 30)));
    EXPECT_EQ(action("MnuUndo")->text().toStdString(), "Undo Crop");
    trigger("MnuUndo");
    EXPECT_EQ(shownSize(), QSize(800, 600));
}

TEST_F(Tools, TypedCropValuesApplyOnEnterAndAreClippedToTheImage) {
    trigger("Image1_1");
    const char* typed[] = {"750", "550", "100", "100"};
    for (int i = 0; i < 4; ++i) {
        field(i)->clear();
        QTest::keyClicks(field(i), typed[i]);
    }
    QTest::keyClick(field(3), Qt::Key_Return);
    EXPECT_EQ(shownSize(), QSize(50, 50));
    EXPECT_EQ(shownColor(0, 0), OleColor(Pattern(750, 550)));
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(Tools, PointerLeavesTheImageAndTheToolIsRemembered) {
    trigger("Image1_2");
    QTest::mouseClick(client(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    drag({10, 10}, {80, 80});
    EXPECT_EQ(zoomLabel().toStdString(), "1:1");
    EXPECT_EQ(shownSize(), QSize(800, 600));
    EXPECT_EQ(settings->text("ActiveTool").toStdString(), "Pointer");
    viewer::PicEdit second(*settings);
    EXPECT_EQ(second.activeTool(), viewer::PicEdit::Tool::Pointer);
}

TEST_F(Tools, KeysZoomAndPan) {
    QTest::keyClick(window.get(), Qt::Key_Plus);
    EXPECT_EQ(zoomLabel().toStdString(), "3:2");
    QTest::keyClick(window.get(), Qt::Key_0);
    EXPECT_EQ(zoomLabel().toStdString(), "1:1");
    QTest::keyClick(window.get(), Qt::Key_Minus);
    EXPECT_EQ(zoomLabel().toStdString(), "2:3");
    QTest::keyClick(window.get(), Qt::Key_F);
    const QSize view = window->host().size();
    EXPECT_EQ(window->zoom(), viewer::FitRatio({800, 600}, view));
    QTest::keyClick(window.get(), Qt::Key_0);  // actual size about the centre
    const QPoint centred = origin();
    QTest::keyClick(window.get(), Qt::Key_Right);
    QTest::keyClick(window.get(), Qt::Key_Down);
    EXPECT_GT(origin().x(), centred.x());
    EXPECT_GT(origin().y(), centred.y());
    QTest::keyClick(window.get(), Qt::Key_Left);
    QTest::keyClick(window.get(), Qt::Key_Up);
    EXPECT_EQ(origin(), centred);
    QWheelEvent wheel(QPointF(50, 50), client()->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(client(), &wheel);
    EXPECT_GT(origin().y(), centred.y());
}

TEST_F(Tools, StatusLineShowsSizeDepthAndZoom) {
    EXPECT_EQ(window->findChild<QLabel*>("statusInfo")->text().toStdString(),
              "800 × 600 pixels, 24-bit, zoom 1:1");
}

// Opening zooms by the settings against the screen's available area.
TEST_F(ViewerTest, InitialZoomFollowsTheSettings) {
    const QString small = writeImage("small.bmp", 40, 30);
    open(small);
    EXPECT_NE(window->zoom(), (viewer::ZoomRatio{1, 1}));  // zoomed up to the screen
    EXPECT_GT(window->zoom().screen, window->zoom().image);
    settings->setSmallZoom(false);
    open(small);
    EXPECT_EQ(window->zoom(), (viewer::ZoomRatio{1, 1}));
    const QString large = writeImage("large.bmp", 3000, 2500);
    open(large);
    EXPECT_LT(window->zoom().screen, window->zoom().image);
    settings->setLargeZoom(false);
    open(large);
    EXPECT_EQ(window->zoom(), (viewer::ZoomRatio{1, 1}));
    EXPECT_TRUE(window->host().ScrollBarPresent(platform::ScrollBar::Vertical));
}

}  // namespace
}  // namespace pm32::test
