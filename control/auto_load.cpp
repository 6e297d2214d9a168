#include "control/auto_load.h"

#include <QByteArray>
#include <cstring>

#include "control/dib_guard.h"
#include "control/dispids.h"
#include "control/file_loading.h"
#include "control/whole_image_transfer.h"
#include "control/zpm32.h"
#include "platform/automation/automation_error.h"

namespace pm32::control {
namespace {

enum AutoLoadValue : std::int16_t { kNone = 0, kLoadFile = 1, kEmbed = 2 };

// The packed DIB's bytes: header, colour table and rows, nothing after them.
std::size_t packedSize(const ZDib& dib) { return dib.PixelOffset() + dib.PixelBytes(); }

}  // namespace

DesignImageCache::~DesignImageCache() { Clear(); }

void DesignImageCache::Replace(HGLOBAL image, std::string name) {
    if (image_ != 0) FreeDib(image_);
    image_ = image;
    name_ = std::move(name);
}

void RefreshDesignImage(ZPm32& c) {
    DesignImageCache& cache = c.DesignImage();
    const std::int16_t mode = c.I2(dispid::AutoLoad);
    const std::string name = c.String(dispid::FileName);
    if ((mode != kLoadFile && mode != kEmbed) || name.empty()) {
        cache.Clear();
        return;
    }
    if (name == cache.Name()) return;
    ZDib image;
    if (!ReadControlFile(c, name, image)) return;
    cache.Replace(image.Release(), name);
}

void SizeToDesignImage(ZPm32& c) {
    platform::WindowHost* host = c.Host();
    const HGLOBAL image = c.DesignImage().Image();
    if (c.RunTime() || host == nullptr || image == 0 || !c.Bool(dispid::AutoSize) ||
        c.I2(dispid::AutoLoad) != kLoadFile)
        return;
    ZDib dib;
    dib.Attach(image, false, false, DepthRule::Any);
    if (dib.error != 0) return;
    const QSize border = host->WindowSize() - host->ClientSize();
    const QSize wanted = QSize(dib.width, dib.height) + border;
    if (host->WindowSize() != wanted) host->SetWindowSize(wanted);
}

std::string EmbeddedImageText(HGLOBAL dib) {
    ZDib image;
    image.Attach(dib, false, false, DepthRule::Any);
    if (image.error != 0) return {};
    platform::Locked block(dib);
    const std::size_t size = packedSize(image);
    if (!block || block.size() < size || size > 0xFFFFFFFFu) return {};
    QByteArray bytes(static_cast<qsizetype>(4 + size), '\0');
    const auto count = static_cast<std::uint32_t>(size);
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((count >> (8 * i)) & 0xFF);
    std::memcpy(bytes.data() + 4, block.data(), size);
    return bytes.toBase64().toStdString();
}

HGLOBAL DibOfEmbeddedText(std::string_view text) {
    const auto result =
        QByteArray::fromBase64Encoding(QByteArray(text.data(), static_cast<qsizetype>(text.size())),
                                       QByteArray::AbortOnBase64DecodingErrors);
    const QByteArray& decoded = *result;
    if (!result || decoded.size() < 4) return 0;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(decoded.constData());
    const std::uint32_t count =
        bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    if (count != static_cast<std::uint64_t>(decoded.size()) - 4) return 0;
    DibGuard dib(platform::GlobalAlloc(platform::GMEM_MOVEABLE, count));
    if (dib.get() == 0) return 0;
    {
        platform::Locked block(dib.get());
        if (!block) return 0;
        std::memcpy(block.data(), bytes + 4, count);
    }
    ZDib image;
    image.Attach(dib.get(), false, false, DepthRule::Any);
    if (image.error != 0 || packedSize(image) > count) return 0;
    return dib.handOn();
}

void AutoLoadAtRunTime(ZPm32& c, std::string_view embeddedText) {
    const std::int16_t mode = c.I2(dispid::AutoLoad);
    if (mode == kLoadFile && !c.String(dispid::FileName).empty()) {
        try {
            c.Invoke(dispid::Load, automation::InvokeKind::Method, {});
        } catch (const automation::AutomationError&) {
            // The load's entry has put its number into ErrorNumber.
        }
    } else if (mode == kEmbed) {
        const HGLOBAL embedded = DibOfEmbeddedText(embeddedText);
        if (embedded == 0) {
            if (!embeddedText.empty()) c.ReportError(err::BadFile);
        } else {
            try {
                TransferWholeImage(c, embedded, true);
            } catch (const RaisedError& error) {
                c.ReportError(error.number);
            }
        }
    }
    if (platform::WindowHost* host = c.Host()) host->Invalidate();
}

}  // namespace pm32::control
