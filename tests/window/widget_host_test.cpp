#include <gtest/gtest.h>

#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <sstream>

#include "control/factory.h"
#include "platform/window/system_metrics.h"
#include "platform/window/widget_window_host.h"
#include "tests/support/qt_print.h"
#include "tests/support/test_dibs.h"
#include "tests/window/offscreen_application.h"

namespace pm32::test {
namespace {

using automation::DispId;
using automation::Variant;
using platform::ScrollBar;

Variant i2(int value) { return Variant::I2(static_cast<std::int16_t>(value)); }

Rgb pattern(int x, int y) {
    return {static_cast<std::uint8_t>(x * 3), static_cast<std::uint8_t>(y * 3),
            static_cast<std::uint8_t>(x * 7 + y * 13)};
}

// A container that shows its control in a widget host and records events.
// The host belongs to its parent widget and may go first.
class WidgetSite : public control::ControlSite, public automation::EventSink {
  public:
    explicit WidgetSite(platform::WidgetWindowHost* host) : host_(host) {}

    bool UserMode() const override { return true; }
    platform::HWND Window() const override { return host_ ? host_->Handle() : 0; }
    platform::WindowHost* Host() override { return host_.data(); }
    automation::EventSink* Events() override { return this; }
    void OnPropertyChanged(DispId) override {}
    void OnEvent(DispId, std::string_view name, std::span<Variant>) override {
        events.emplace_back(name);
    }

    std::vector<std::string> events;

  private:
    QPointer<platform::WidgetWindowHost> host_;
};

// A window holding a widget host of 136 x 106 pixels with a control that
// shows a 90 x 70 patterned image.
struct Shown {
    Shown() {
        window.resize(200, 160);
        host->setGeometry(10, 10, 136, 106);
        window.show();
        control = control::CreatePicbuf(&site);
        call("ImportDib",
             {Variant::I4(static_cast<std::int32_t>(TrueColorDib(90, 70, pattern).take())),
              Variant::Bool(true)});
        site.events.clear();
    }

    Variant call(std::string_view name, std::vector<Variant> args = {}) {
        return automation::CallMethod(*control, name, std::move(args));
    }
    void put(std::string_view name, Variant value) {
        automation::PutProperty(*control, name, std::move(value));
    }
    QScrollBar* bar(ScrollBar which) const { return host->scrollBar(which); }
    QImage shot() const {
        return host->clientArea()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    // Where the client area differs from the image at the view's origin and
    // scale; empty when nowhere.
    std::string difference() const {
        const control::ZView& view = control->View();
        QImage image = shot();
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                Rgb c = pattern(view.XOrigin() + x * view.ScaleImage() / view.ScaleScreen(),
                                view.YOrigin() + y * view.ScaleImage() / view.ScaleScreen());
                if (image.pixel(x, y) != qRgb(c.red, c.green, c.blue)) {
                    std::ostringstream text;
                    text << "client pixel (" << x << ", " << y << ") at origin " << view.XOrigin()
                         << ", " << view.YOrigin();
                    return text.str();
                }
            }
        return {};
    }

    QApplication& application = OffscreenApplication();
    QWidget window;
    platform::WidgetWindowHost* host = new platform::WidgetWindowHost(&window);
    WidgetSite site{host};
    std::shared_ptr<control::ZPm32> control;
};

TEST(WidgetHost, ScrollBarsShowWhenTheirRangeIsNotEmptyAndTakeTheirShare) {
    Shown s;
    const int extent = platform::VerticalScrollBarWidth();
    EXPECT_FALSE(s.bar(ScrollBar::Horizontal)->isVisible());
    EXPECT_EQ(s.host->clientArea()->size(), QSize(136, 106));
    s.put("ScrollBars", i2(3));
    s.call("Scale", {i2(1), i2(2)});
    EXPECT_TRUE(s.bar(ScrollBar::Horizontal)->isVisible());
    EXPECT_TRUE(s.bar(ScrollBar::Vertical)->isVisible());
    EXPECT_EQ(s.host->clientArea()->size(), QSize(136 - extent, 106 - extent));
    EXPECT_EQ(s.bar(ScrollBar::Horizontal)->height(), extent);
    EXPECT_EQ(s.control->View().ClientWidth(), 136 - extent);
    EXPECT_EQ(s.bar(ScrollBar::Horizontal)->maximum(), s.control->View().MaxXOrigin());
    EXPECT_EQ(s.call("GetVertSBWidth").toI2(), extent);

    s.host->resize(400, 300);
    EXPECT_FALSE(s.bar(ScrollBar::Horizontal)->isVisible()) << "the whole image fits";
    EXPECT_FALSE(s.bar(ScrollBar::Vertical)->isVisible());
    EXPECT_EQ(s.host->clientArea()->size(), QSize(400, 300));
}

TEST(WidgetHost, ScrollingWithTheBarsShowsTheImageAtTheNewOrigin) {
    Shown s;
    s.put("ScrollBars", i2(3));
    s.call("Scale", {i2(1), i2(2)});
    EXPECT_EQ(s.difference(), "");

    QScrollBar* horizontal = s.bar(ScrollBar::Horizontal);
    QScrollBar* vertical = s.bar(ScrollBar::Vertical);
    for (int i = 0; i < 3; ++i) horizontal->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    vertical->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(s.control->View().XOrigin(), 3);
    EXPECT_EQ(s.control->View().YOrigin(), 10) << "a page is ScrollBarsLargeChange";
    EXPECT_EQ(horizontal->value(), 3);
    EXPECT_EQ(vertical->value(), 10);
    EXPECT_EQ(s.difference(), "");

    horizontal->setSliderDown(true);
    horizontal->setSliderPosition(12);
    EXPECT_EQ(s.control->View().XOrigin(), 12);
    horizontal->setSliderDown(false);
    EXPECT_EQ(horizontal->value(), 12);
    horizontal->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(horizontal->value(), 11);
    EXPECT_EQ(s.difference(), "");

    vertical->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(s.control->View().YOrigin(), 10) << "the control moves the bar, not the bar itself";
    EXPECT_EQ(vertical->value(), 10);
    int pans = static_cast<int>(std::count(s.site.events.begin(), s.site.events.end(), "Pan"));
    EXPECT_EQ(pans, 6);
}

// A client that records the region each paint covers.
class PaintRecorder : public platform::WindowClient {
  public:
    void OnShowWindow(bool) override {}
    void OnSize(QSize) override {}
    void OnDestroy() override {}
    void OnScroll(ScrollBar, platform::ScrollCode, int) override {}
    bool OnPaint(QPainter& painter, const QRect& bounds) override {
        regions.push_back(painter.clipRegion());
        painter.fillRect(bounds, Qt::gray);
        return true;
    }
    bool OnSetCursor() override { return false; }
    void OnMouseButton(platform::MouseAction, int, int, QPoint) override {}
    void OnMouseMove(int, int, QPoint) override {}
    void OnKeyDown(int, int) override {}
    void OnKeyUp(int, int) override {}
    void OnChar(int) override {}

    std::vector<QRegion> regions;
};

TEST(WidgetHost, UpdatingAfterAScrollPaintsOnlyTheUncoveredStrip) {
    OffscreenApplication();
    PaintRecorder recorder;
    platform::WidgetWindowHost host;
    host.SetClient(&recorder);
    host.resize(120, 90);
    host.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
    QCoreApplication::processEvents();
    recorder.regions.clear();

    host.ScrollWindow(0, -3);
    host.UpdateWindow();
    EXPECT_EQ(recorder.regions, std::vector<QRegion>{QRegion(0, 87, 120, 3)});
    host.ScrollWindow(5, 0);
    host.UpdateWindow();
    EXPECT_EQ(recorder.regions.back(), QRegion(0, 0, 5, 90));
    host.Invalidate();
    host.UpdateWindow();
    EXPECT_EQ(recorder.regions.back(), QRegion(0, 0, 120, 90));
    const std::size_t paints = recorder.regions.size();
    host.UpdateWindow();
    EXPECT_EQ(recorder.regions.size(), paints) << "nothing left to paint";
    host.SetClient(nullptr);
}

TEST(WidgetHost, MouseKeysAndCursorReachTheControl) {
    Shown s;
    QWidget* area = s.host->clientArea();
    QTest::mousePress(area, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 12));
    QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, QPoint(10, 12));
    EXPECT_EQ(s.site.events, (std::vector<std::string>{"MouseDown", "MouseUp", "Click"}));

    s.site.events.clear();
    QTest::keyClick(area, Qt::Key_A);
    EXPECT_EQ(s.site.events, (std::vector<std::string>{"KeyDown", "KeyPress", "KeyUp"}));

    s.put("MousePointer", i2(2));
    QTest::mouseMove(area, QPoint(20, 20));
    EXPECT_EQ(area->cursor().shape(), Qt::CrossCursor);
    s.put("MousePointer", i2(0));
    QTest::mouseMove(area, QPoint(21, 21));
    EXPECT_EQ(area->cursor().shape(), Qt::ArrowCursor);
}

TEST(WidgetHost, BorderAndEdgeFrameTheClientAreaOnScreen) {
    Shown s;
    s.put("BorderStyle", i2(1));
    s.put("Appearance", i2(1));
    EXPECT_EQ(s.host->clientArea()->geometry(), QRect(3, 3, 130, 100));
    EXPECT_EQ(s.control->View().ClientWidth(), 130);
    s.call("Scale", {i2(1), i2(2)});
    EXPECT_EQ(s.difference(), "") << "the image starts inside the frame";
    QImage window = s.host->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const std::vector<QRgb> left = {qRgb(0, 0, 0), qRgb(128, 128, 128), qRgb(0, 0, 0)};
    const std::vector<QRgb> right = {qRgb(0, 0, 0), qRgb(255, 255, 255), qRgb(227, 227, 227)};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(window.pixel(i, 50), left[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(window.pixel(135 - i, 50), right[static_cast<std::size_t>(i)]) << i;
    }
    s.put("BorderStyle", i2(0));
    s.put("Appearance", i2(0));
    EXPECT_EQ(s.host->clientArea()->geometry(), QRect(0, 0, 136, 106));
}

TEST(WidgetHost, ADisabledControlHearsNoMouseOrKeys) {
    Shown s;
    QWidget* area = s.host->clientArea();
    auto input = [&] {
        std::vector<std::string> heard;
        for (const std::string& event : s.site.events)
            if (event != "Paint") heard.push_back(event);
        s.site.events.clear();
        return heard;
    };
    s.put("Enabled", Variant::Bool(false));
    QTest::mouseClick(area, Qt::LeftButton, Qt::NoModifier, QPoint(10, 12));
    QTest::mouseMove(area, QPoint(20, 20));
    QTest::keyClick(area, Qt::Key_A);
    EXPECT_EQ(input(), std::vector<std::string>{});
    EXPECT_TRUE(area->isEnabled()) << "nothing greyed";
    s.put("Enabled", Variant::Bool(true));
    QTest::mouseClick(area, Qt::LeftButton, Qt::NoModifier, QPoint(10, 12));
    EXPECT_EQ(input(), (std::vector<std::string>{"MouseDown", "MouseUp", "Click"}));
}

TEST(WidgetHost, TheRubberBandFrameFollowsTheMouseOnScreen) {
    Shown s;
    QWidget* area = s.host->clientArea();
    const QImage plain = s.shot();
    s.call("RegionRb", {i2(0), i2(1), Variant::Bool(false)});
    EXPECT_EQ(QWidget::mouseGrabber(), area);
    auto framed = [&](QRect rect) {
        QImage image = plain;
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                if (x == rect.left() || x == rect.right() || y == rect.top() || y == rect.bottom())
                    image.setPixel(x, y, image.pixel(x, y) ^ 0x00FFFFFFu);
        return image;
    };
    QMouseEvent first(QEvent::MouseMove, QPointF(5, 5), area->mapToGlobal(QPointF(5, 5)),
                      Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(area, &first);
    QMouseEvent second(QEvent::MouseMove, QPointF(40, 30), area->mapToGlobal(QPointF(40, 30)),
                       Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(area, &second);
    EXPECT_EQ(s.shot(), framed(QRect(5, 5, 35, 25)));
    QMouseEvent third(QEvent::MouseMove, QPointF(20, 50), area->mapToGlobal(QPointF(20, 50)),
                      Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(area, &third);
    EXPECT_EQ(s.shot(), framed(QRect(5, 5, 15, 45))) << "the previous frame is gone";
    QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, QPoint(20, 50));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST(WidgetHost, DrawingOnTheWindowShowsUntilTheNextRepaint) {
    Shown s;
    const QImage plain = s.shot();
    s.put("FillStyle", i2(0));
    s.put("FillColor", Variant::I4(0x0000FF));
    s.put("SelectWidth", i2(20));
    s.put("SelectHeight", i2(10));
    s.call("Rect", {i2(1)});
    QImage drawn = s.shot();
    EXPECT_EQ(drawn.pixel(10, 5), qRgb(255, 0, 0));
    EXPECT_EQ(drawn.pixel(30, 20), plain.pixel(30, 20));
    EXPECT_EQ(ColorAtPixel(s.control->Image()->handle, 10, 5), pattern(10, 5))
        << "only on the window";
    s.call("Refresh");
    EXPECT_EQ(s.shot(), plain) << "the next repaint covers it";
}

TEST(WidgetHost, AControlOutlivingItsWindowIsLeftWithoutOne) {
    Shown s;
    delete s.host;
    EXPECT_EQ(s.control->Host(), nullptr);
    s.put("ScrollBars", i2(3));
    s.call("Refresh");
    EXPECT_EQ(automation::GetProperty(*s.control, "hWnd").toI4(), 0);
}

}  // namespace
}  // namespace pm32::test
