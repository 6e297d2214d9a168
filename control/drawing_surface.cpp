#include "control/drawing_surface.h"

#include <vector>

#include "engine/dib_layout.h"
#include "platform/gdi/dib_section.h"

namespace pm32::control {
namespace {

using platform::gdi::ColorTable;
using platform::gdi::DibPixels;
using platform::gdi::DibSection;
using platform::gdi::DrawingContext;

// The image's colour table as the surface matches colours against it; only
// the entries a pixel of the depth can name.
ColorTable colorTableOf(const std::uint8_t* header, const std::uint8_t* bits, std::uint32_t depth) {
    if (depth == 24) return ColorTable();
    std::vector<QRgb> entries;
    for (const std::uint8_t* entry = header + dib::kHeaderSize;
         entry + 4 <= bits && entries.size() < fullTableSize(depth); entry += 4)
        entries.push_back(qRgb(entry[2], entry[1], entry[0]));
    return ColorTable(std::move(entries));
}

void drawOnImage(ZPm32& c, const std::function<void(DrawingContext&)>& draw) {
    {
        ZDibLock lock(c.Image()->handle);
        if (lock.header() == nullptr || lock.bits() == nullptr) Raise(err::NoDeviceContext);
        const std::uint8_t* header = lock.header();
        auto width = static_cast<std::int32_t>(readLe32(header + dib::kWidth));
        auto height = static_cast<std::int32_t>(readLe32(header + dib::kHeight));
        std::uint32_t depth = readLe16(header + dib::kBitCount);
        std::size_t rowsOffset = static_cast<std::size_t>(lock.bits() - header);
        DibPixels pixels{
            .width = width,
            .height = height,
            .depth = depth,
            .rowBytes = width > 0 ? rowBytesFor(static_cast<std::uint32_t>(width), depth) : 0,
            .rows = std::span(lock.bits(), lock.blockSize() - rowsOffset)};
        DibSection section(pixels, colorTableOf(header, lock.bits(), depth));
        if (!section.Valid()) Raise(err::NoDeviceContext);
        {
            DrawingContext dc(section.Image(), section.Colors());
            if (!dc.Active()) Raise(err::NoDeviceContext);
            draw(dc);
        }
        section.WriteBack();
    }
    c.ImageChanged();
}

void drawOnWindow(ZPm32& c, const std::function<void(DrawingContext&)>& draw) {
    platform::WindowHost* host = c.Host();
    if (host == nullptr) Raise(err::NoDeviceContext);
    bool drawn = false;
    bool surface = host->DrawOnClient([&](QPaintDevice& device) {
        DrawingContext dc(device, ColorTable());
        if (!dc.Active()) return;
        draw(dc);
        drawn = true;
    });
    if (!surface || !drawn) Raise(err::NoDeviceContext);
}

}  // namespace

DrawDestination DestinationOf(const Variant& argument) {
    if (argument.isMissing()) return DrawDestination::Image;
    const Variant& value = argument.value();
    if (value.type() != VarType::I2) Raise(err::BadDestination);
    switch (value.toI2()) {
        case 0:
            return DrawDestination::Image;
        case 1:
            return DrawDestination::Window;
        default:
            Raise(err::BadDestination);
    }
}

void DrawOn(ZPm32& c, DrawDestination destination,
            const std::function<void(DrawingContext&)>& draw) {
    if (destination == DrawDestination::Window)
        drawOnWindow(c, draw);
    else
        drawOnImage(c, draw);
}

}  // namespace pm32::control
