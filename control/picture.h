#pragma once

#include <QImage>
#include <QPoint>
#include <cstdint>

#include "platform/automation/dispatch.h"

namespace pm32::control {

// The kinds of OLE picture, numbered as the picture's Type property reports them.
enum class PictureType : std::int16_t {
    None = 0,
    Bitmap = 1,
    Metafile = 2,
    Icon = 3,  // icons and cursors alike
    EnhancedMetafile = 4,
};

// An OLE picture object: empty, a bitmap, or an icon or cursor with its hot
// spot. Late-bound callers read Type, and Width and Height in HIMETRIC units.
class Picture : public automation::Dispatch {
  public:
    Picture() = default;
    Picture(PictureType type, QImage image, QPoint hotSpot = {});

    PictureType Type() const { return type_; }
    const QImage& Image() const { return image_; }
    QPoint HotSpot() const { return hotSpot_; }

    std::optional<automation::DispId> GetIdOfName(std::string_view name) const override;
    automation::Variant Invoke(automation::DispId id, automation::InvokeKind kind,
                               std::span<automation::Variant> args) override;
    const automation::TypeInfo& GetTypeInfo() const override;

  private:
    PictureType type_ = PictureType::None;
    QImage image_;
    QPoint hotSpot_;
};

}  // namespace pm32::control
