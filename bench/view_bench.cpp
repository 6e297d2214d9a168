#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QImage>
#include <QPainter>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "control/control_site.h"
#include "control/factory.h"
#include "control/zview.h"
#include "engine/zdib.h"
#include "platform/automation/dispatch.h"
#include "platform/window/headless_window_host.h"

namespace {

using pm32::automation::Variant;
using pm32::platform::PALETTEENTRY;

constexpr std::int32_t kWidth = 4000;
constexpr std::int32_t kHeight = 3000;
const QSize kWindow(800, 600);

// How the picture is scaled into the window.
enum Zoom : std::int64_t { OneToOne, Fit, FourTimes };

// A run-time site whose control shows in a headless window.
class BenchSite : public pm32::control::ControlSite {
  public:
    explicit BenchSite(QSize window) : host_(window) {}
    bool UserMode() const override { return true; }
    pm32::platform::HWND Window() const override { return host_.Handle(); }
    pm32::platform::WindowHost* Host() override { return &host_; }
    pm32::automation::EventSink* Events() override { return nullptr; }
    void OnPropertyChanged(pm32::automation::DispId) override {}
    pm32::platform::HeadlessWindowHost& window() { return host_; }

  private:
    pm32::platform::HeadlessWindowHost host_;
};

// A DIB of the geometry with a colour table of grey ramps (palette depths)
// and a diagonal pattern in every row.
pm32::ZDib patterned(std::int32_t width, std::int32_t height, std::uint32_t depth) {
    pm32::ZDib dib;
    dib.Create(width, height, depth, 0);
    if (dib.error != 0) std::abort();
    if (depth != 24) {
        std::vector<PALETTEENTRY> table(std::size_t{1} << depth);
        for (std::size_t i = 0; i < table.size(); ++i) {
            auto level = static_cast<std::uint8_t>(i * 255 / (table.size() - 1));
            table[i] = {level, static_cast<std::uint8_t>(255 - level),
                        static_cast<std::uint8_t>(i * 37), 0};
        }
        dib.SetPalette(table, true);
    }
    auto rows = dib.BuildRowTable();
    if (rows.empty()) std::abort();
    for (std::size_t y = 0; y < rows.size(); ++y)
        for (std::uint32_t i = 0; i < dib.rowBytes; ++i)
            rows[y][i] = static_cast<std::uint8_t>(i * 3 + y * 5);
    dib.CommitRowTable();
    return dib;
}

// One control showing a caller-owned picture in its window.
struct Viewer {
    Viewer(const pm32::ZDib& picture, QSize window, Zoom zoom)
        : site(window), control(pm32::control::CreatePicbuf(&site)) {
        site.window().Show(true);
        pm32::automation::CallMethod(
            *control, "ImportDib",
            {Variant::I4(static_cast<std::int32_t>(picture.handle)), Variant::Bool(false)});
        if (zoom == Fit) pm32::automation::PutProperty(*control, "AutoScale", Variant::Bool(true));
        if (zoom == FourTimes)
            pm32::automation::CallMethod(*control, "Scale", {Variant::I2(1), Variant::I2(4)});
        site.window().PumpMessages();
    }
    // Paints the whole client area into the window's pixels.
    void paint() {
        site.window().Invalidate();
        site.window().PumpMessages();
    }

    BenchSite site;
    std::shared_ptr<pm32::control::ZPm32> control;
};

const pm32::ZDib& picture(std::uint32_t depth) {
    static const pm32::ZDib eight = patterned(kWidth, kHeight, 8);
    static const pm32::ZDib twentyFour = patterned(kWidth, kHeight, 24);
    return depth == 8 ? eight : twentyFour;
}

void setLabel(benchmark::State& state) {
    static const char* const zooms[] = {"1:1", "fit", "zoom 4x"};
    state.SetLabel(std::to_string(state.range(0)) + " bit, " + zooms[state.range(1)]);
}

// The first paint after the image arrived: the view takes the new image in.
void Ours_FirstPaint(benchmark::State& state) {
    Viewer viewer(picture(static_cast<std::uint32_t>(state.range(0))), kWindow,
                  static_cast<Zoom>(state.range(1)));
    for (auto _ : state) {
        viewer.control->ImageChanged();
        viewer.site.window().PumpMessages();
    }
    setLabel(state);
}

// Painting the same view again.
void Ours_Repaint(benchmark::State& state) {
    Viewer viewer(picture(static_cast<std::uint32_t>(state.range(0))), kWindow,
                  static_cast<Zoom>(state.range(1)));
    for (auto _ : state) viewer.paint();
    setLabel(state);
}

// The peer: Qt's own way, the whole picture converted to a QImage once and
// drawn with QPainter::drawImage (no smoothing) for each paint.
QImage qtImage(std::uint32_t depth) {
    const pm32::ZDib& dib = picture(depth);
    QImage image(kWidth, kHeight, depth == 8 ? QImage::Format_Indexed8 : QImage::Format_BGR888);
    if (depth == 8) {
        PALETTEENTRY table[256];
        dib.GetPalette(table);
        QList<QRgb> colors;
        for (const PALETTEENTRY& e : table) colors.push_back(qRgb(e.peRed, e.peGreen, e.peBlue));
        image.setColorTable(colors);
    }
    pm32::platform::Locked block(dib.handle);
    for (std::int32_t y = 0; y < kHeight; ++y)
        std::memcpy(image.scanLine(y),
                    block.data() + dib.PixelOffset() +
                        static_cast<std::size_t>(kHeight - 1 - y) * dib.rowBytes,
                    static_cast<std::size_t>(image.bytesPerLine()));
    return image;
}

QRect qtSource(Zoom zoom) {
    // The picture's 4:3 matches the window's, so fitting shows all of it.
    switch (zoom) {
        case OneToOne:
            return QRect(QPoint(), kWindow);
        case Fit:
            return QRect(0, 0, kWidth, kHeight);
        case FourTimes:
            break;
    }
    return QRect(QPoint(), kWindow / 4);
}

void Qt_FirstPaint(benchmark::State& state) {
    const QImage source = qtImage(static_cast<std::uint32_t>(state.range(0)));
    const auto zoom = static_cast<Zoom>(state.range(1));
    QImage window(kWindow, QImage::Format_RGB32);
    for (auto _ : state) {
        QImage screen = source.convertToFormat(QImage::Format_RGB32);
        QPainter painter(&window);
        painter.drawImage(QRect(QPoint(), kWindow), screen, qtSource(zoom));
    }
    setLabel(state);
}

void Qt_Repaint(benchmark::State& state) {
    const QImage screen =
        qtImage(static_cast<std::uint32_t>(state.range(0))).convertToFormat(QImage::Format_RGB32);
    const auto zoom = static_cast<Zoom>(state.range(1));
    QImage window(kWindow, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&window);
        painter.drawImage(QRect(QPoint(), kWindow), screen, qtSource(zoom));
    }
    setLabel(state);
}

void allCases(benchmark::internal::Benchmark* b) {
    b->ArgNames({"depth", "zoom"})->Unit(benchmark::kMillisecond);
    for (int depth : {8, 24})
        for (int zoom : {OneToOne, Fit, FourTimes}) b->Args({depth, zoom});
}

BENCHMARK(Ours_FirstPaint)->Apply(allCases);
BENCHMARK(Qt_FirstPaint)->Apply(allCases);
BENCHMARK(Ours_Repaint)->Apply(allCases);
BENCHMARK(Qt_Repaint)->Apply(allCases);

// The largest picture the control takes, shown in a small window: the first
// paint, the memory the view and its window hold for it by their own
// account, and the process's peak resident size (run one case per process to
// read the peak of that case alone).
void Ours_FirstPaintLargest(benchmark::State& state) {
    const auto depth = static_cast<std::uint32_t>(state.range(0));
    const pm32::ZDib dib = patterned(32767, 32767, depth);
    Viewer viewer(dib, QSize(320, 200), OneToOne);
    for (auto _ : state) {
        viewer.control->ImageChanged();
        viewer.site.window().PumpMessages();
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["display_MB"] =
        static_cast<double>(
            viewer.control->View().DisplayBytes() +
            static_cast<std::size_t>(viewer.site.window().Surface().sizeInBytes())) /
        1e6;
    state.counters["image_MB"] = static_cast<double>(pm32::platform::GlobalSize(dib.handle)) / 1e6;
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) * 1024 / 1e6;
}
BENCHMARK(Ours_FirstPaintLargest)
    ->ArgName("depth")
    ->Arg(1)
    ->Arg(8)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace
