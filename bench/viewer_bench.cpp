#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <memory>

#include "bench/bench_dir.h"
#include "platform/window/widget_window_host.h"
#include "viewer/picedit.h"
#include "viewer/settings.h"

namespace {

constexpr int kWidth = 4000;
constexpr int kHeight = 3000;
constexpr QSize kWindow(1280, 900);

// A photo-like 12-megapixel JPEG (smooth
// gradients with grain, quality 85) shared by every benchmark.
struct Fixture {
    pm32::bench::BenchDir dir{"viewer"};
    QString jpeg = QString::fromStdString(dir.path("photo.jpg"));
    QString settingsPath = QString::fromStdString(dir.path("vstl32.ini"));

    Fixture() {
        setenv("temp", dir.path("").c_str(), 1);
        QImage photo(kWidth, kHeight, QImage::Format_RGB32);
        std::uint32_t grain = 12345;
        for (int y = 0; y < kHeight; ++y) {
            auto* row = reinterpret_cast<QRgb*>(photo.scanLine(y));
            for (int x = 0; x < kWidth; ++x) {
                grain = grain * 1103515245u + 12345u;
                const int noise = static_cast<int>((grain >> 16) & 15) - 8;
                row[x] = qRgb(std::clamp(x * 255 / kWidth + noise, 0, 255),
                              std::clamp(y * 255 / kHeight + noise, 0, 255),
                              std::clamp((x + y) * 127 / (kWidth + kHeight) + 64 + noise, 0, 255));
            }
        }
        if (!photo.save(jpeg, "JPG", 85)) std::abort();
    }
};

Fixture& fixture() {
    static Fixture shared;
    return shared;
}

// A window that shows the photo: fitted when fit is set, else at 1:1.
std::unique_ptr<pm32::viewer::PicEdit> shownWindow(pm32::viewer::ViewerSettings& settings,
                                                   bool fit) {
    settings.setSmallZoom(fit);
    settings.setLargeZoom(fit);
    auto window = std::make_unique<pm32::viewer::PicEdit>(settings);
    window->show();
    if (!window->openFile(fixture().jpeg)) std::abort();
    window->showNormal();
    window->resize(kWindow);
    if (fit) QTest::keyClick(window.get(), Qt::Key_F);
    QApplication::processEvents();
    return window;
}

// From an empty process state to the first painted frame: the window is
// made and shown, the JPEG decoded, the initial zoom chosen and the view
// painted.
void BM_ViewerStartToFirstPaint(benchmark::State& state) {
    pm32::viewer::ViewerSettings settings(fixture().settingsPath);
    for (auto _ : state) {
        pm32::viewer::PicEdit window(settings);
        window.show();
        if (!window.openFile(fixture().jpeg)) std::abort();
        window.host().clientArea()->repaint();
        benchmark::DoNotOptimize(window.zoom());
    }
}
BENCHMARK(BM_ViewerStartToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peer: Qt's image viewer example decodes with QImageReader and shows a
// pixmap in a scroll area.
void BM_QtImageViewerStartToFirstPaint(benchmark::State& state) {
    fixture();
    for (auto _ : state) {
        QScrollArea area;
        auto* label = new QLabel;
        QImageReader reader(fixture().jpeg);
        const QImage image = reader.read();
        if (image.isNull()) std::abort();
        label->setPixmap(QPixmap::fromImage(image));
        label->adjustSize();
        area.setWidget(label);
        area.resize(kWindow);
        area.show();
        label->repaint();
    }
}
BENCHMARK(BM_QtImageViewerStartToFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

// One pan step by the arrow keys and the repaint it causes, at 1:1.
void BM_ViewerPanRepaintActualSize(benchmark::State& state) {
    pm32::viewer::ViewerSettings settings(fixture().settingsPath);
    auto window = shownWindow(settings, false);
    int step = 0;
    for (auto _ : state) {
        // Right for a while, then back, so every step moves the view.
        QTest::keyClick(window.get(), (step++ / 8) % 2 == 0 ? Qt::Key_Right : Qt::Key_Left);
        window->host().clientArea()->repaint();
    }
}
BENCHMARK(BM_ViewerPanRepaintActualSize)->Unit(benchmark::kMillisecond)->UseRealTime();

// A whole repaint of the fitted view (nothing is left to pan at fit zoom).
void BM_ViewerRepaintFit(benchmark::State& state) {
    pm32::viewer::ViewerSettings settings(fixture().settingsPath);
    auto window = shownWindow(settings, true);
    for (auto _ : state) window->host().clientArea()->repaint();
}
BENCHMARK(BM_ViewerRepaintFit)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peer's pan: scroll its area by the same step and repaint.
void BM_QtImageViewerPanRepaint(benchmark::State& state) {
    QScrollArea area;
    auto* label = new QLabel;
    label->setPixmap(QPixmap::fromImage(QImageReader(fixture().jpeg).read()));
    label->adjustSize();
    area.setWidget(label);
    area.resize(kWindow);
    area.show();
    QApplication::processEvents();
    int step = 0;
    const int distance = kWindow.width() / 10;
    for (auto _ : state) {
        QScrollBar* bar = area.horizontalScrollBar();
        bar->setValue(bar->value() + ((step++ / 8) % 2 == 0 ? distance : -distance));
        area.viewport()->repaint();
    }
}
BENCHMARK(BM_QtImageViewerPanRepaint)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// The application must outlive every window and go before the exit handlers.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
