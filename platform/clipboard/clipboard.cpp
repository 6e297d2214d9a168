#include "platform/clipboard/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <memory>

#include "platform/clipboard/packed_dib.h"
#include "platform/window/gui_application.h"

namespace pm32::platform {
namespace {

QString packedDibType() {
    return QString::fromLatin1(kPackedDibMimeType.data(),
                               static_cast<qsizetype>(kPackedDibMimeType.size()));
}

}  // namespace

ClipboardSession::ClipboardSession()
    : clipboard_(EnsureGuiApplication() != nullptr ? QGuiApplication::clipboard() : nullptr) {}

void ClipboardSession::Empty() { clipboard_->clear(); }

bool ClipboardSession::SetDib(std::span<const std::uint8_t> packedDib, const QImage& picture) {
    if (packedDib.empty() || picture.isNull()) return false;
    auto data = std::make_unique<QMimeData>();
    data->setData(packedDibType(), QByteArray(reinterpret_cast<const char*>(packedDib.data()),
                                              static_cast<qsizetype>(packedDib.size())));
    data->setImageData(QVariant::fromValue(picture));
    // The clipboard owns the data from here on.
    clipboard_->setMimeData(data.release());
    return true;
}

std::optional<std::vector<std::uint8_t>> ClipboardSession::GetDib() const {
    const QMimeData* data = clipboard_->mimeData();
    if (data == nullptr) return std::nullopt;
    if (data->hasFormat(packedDibType())) {
        QByteArray bytes = data->data(packedDibType());
        if (bytes.isEmpty()) return std::nullopt;
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    }
    if (!data->hasImage()) return std::nullopt;
    std::vector<std::uint8_t> converted =
        PackedDibFromImage(qvariant_cast<QImage>(data->imageData()));
    if (converted.empty()) return std::nullopt;
    return converted;
}

}  // namespace pm32::platform
