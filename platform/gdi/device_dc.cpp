#include "platform/gdi/device_dc.h"

#include <memory>

namespace pm32::platform::gdi {
namespace {

HandleRegistry<std::unique_ptr<QPainter>>& contexts() {
    static HandleRegistry<std::unique_ptr<QPainter>> registry;
    return registry;
}

}  // namespace

HDC CreateDeviceDC(QPaintDevice& device) {
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&device)) return 0;
    // Pixels reach the device as they are: a PDF keeps images lossless.
    painter->setRenderHint(QPainter::LosslessImageRendering);
    return contexts().add(std::move(painter));
}

bool DeleteDeviceDC(HDC dc) {
    std::unique_ptr<QPainter>* painter = contexts().find(dc);
    if (painter == nullptr) return false;
    (*painter)->end();
    return contexts().remove(dc);
}

QPainter* PainterOfDC(HDC dc) {
    std::unique_ptr<QPainter>* painter = contexts().find(dc);
    return painter == nullptr ? nullptr : painter->get();
}

std::size_t LiveDeviceDCCount() { return contexts().size(); }

}  // namespace pm32::platform::gdi
