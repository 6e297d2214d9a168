#include <gtest/gtest.h>

#include <QImage>

#include "control/font.h"
#include "control/member_row.h"
#include "control/picture.h"
#include "tests/control/test_site.h"

namespace pm32::test {
namespace {

// A value other than the default that the property accepts.
Variant changed(const control::MemberRow& member) {
    switch (member.type) {
        case automation::VarType::Bool:
            return Variant::Bool(!member.initial.toBool());
        case automation::VarType::String:
            return Variant::String("C:\\pic\\a=b\nc.bmp");
        case automation::VarType::I4:
            return Variant::I4(0x00123456);
        default:
            break;
    }
    std::int32_t value = member.initial.toI4() + 1;
    if (member.range && value > member.range->max) value = member.range->min;
    return Variant::I2(static_cast<std::int16_t>(value));
}

TEST(Persistence, EveryPersistedPropertyComesBack) {
    PlacedControl design(false);
    std::vector<std::pair<std::string, Variant>> written;
    for (const control::MemberRow& member : control::MemberTable()) {
        if (!member.persisted() || !member.stored) continue;
        if (member.check != nullptr) continue;    // set below, in an order their checks allow
        if (member.name == "AutoLoad") continue;  // below: it reads FileName at once
        Variant value = changed(member);
        design.put(member.name, value);
        written.emplace_back(std::string(member.name), value);
    }
    design.put("AutoScale", Variant::Bool(true));
    written.emplace_back("AutoScale", Variant::Bool(true));
    // Kept although the file it names cannot be read.
    EXPECT_THROW(design.put("AutoLoad", i2(1)), automation::AutomationError);
    written.emplace_back("AutoLoad", i2(1));
    std::string bag = design.control->SaveProperties();

    PlacedControl restored(false);
    restored.control->LoadProperties(bag);
    for (const auto& [name, value] : written)
        EXPECT_EQ(restored.get(name).toString(), value.toString()) << name;
    EXPECT_FALSE(restored.control->Modified());
}

TEST(Persistence, StockFirstThenTheVersionThenTheTableOrder) {
    PlacedControl p(false);
    std::string bag = p.control->SaveProperties();
    auto at = [&](const char* key) { return bag.find(std::string(key) + "="); };
    EXPECT_LT(at("BackColor"), at("_Version"));
    EXPECT_NE(bag.find("_Version=65536\n"), std::string::npos);
    EXPECT_LT(at("_Version"), at("AssignMode"));
    EXPECT_LT(at("AssignMode"), at("AutoScale"));
    EXPECT_LT(at("WriteCompression"), at("Xorigin"));
    EXPECT_EQ(at("ErrorNumber"), std::string::npos);
    EXPECT_EQ(at("RasterOp"), std::string::npos);
    EXPECT_NE(bag.find("BackColor=0x8000000F\n"), std::string::npos);
}

// The exchange order is read by stored forms, so it is pinned name by name.
TEST(Persistence, TheExchangeOrderIsThePublishedOne) {
    auto names = [](const std::vector<automation::DispId>& ids) {
        std::vector<std::string_view> out;
        for (automation::DispId id : ids) out.push_back(control::FindMember(id)->name);
        return out;
    };
    EXPECT_EQ(names(control::StockPersistenceOrder()),
              (std::vector<std::string_view>{"Appearance", "BackColor", "BorderStyle", "Enabled",
                                             "Font", "ForeColor", "Text"}));
    EXPECT_EQ(names(control::PersistenceOrder()),
              (std::vector<std::string_view>{
                  "AssignMode", "AutoScale", "AutoLoad", "AutoSize", "CallbackLines", "DataField",
                  "DrawArrows", "DrawStyle", "DrawWidth", "FileName", "FillColor", "FillStyle",
                  "FillTransparent", "FontTransparent", "ImageCompression", "ImageFormat",
                  "ImageNumber", "LoadCropHeight", "LoadCropWidth", "LoadCropX", "LoadCropY",
                  "LoadFastest", "LoadHeight", "LoadOptions", "LoadScale", "LoadWidth", "MouseIcon",
                  "MousePointer", "PrintHeight", "PrintLeft", "PrintTop", "PrintWidth",
                  "ResizeMode", "ScaleImage", "ScaleScreen", "ScreenPalette", "ScrollBars",
                  "ScrollBarsSmallChange", "ScrollBarsLargeChange", "SelectHeight", "SelectLeft",
                  "SelectTop", "SelectWidth", "TextAlignment", "TextAutoSize", "TextExtLeading",
                  "TextMultiLine", "WriteOption", "WriteCompression", "Xorigin", "Yorigin",
                  // Ours, after the published order.
                  "LoadModernFiles"}));
}

TEST(Persistence, MissingOrRefusedValuesTakeTheirDefaults) {
    PlacedControl p(false);
    p.put("DrawWidth", Variant::I2(9));
    p.control->LoadProperties("MousePointer=16\nScaleImage=abc\nFillStyle=3\nnoise\n");
    EXPECT_EQ(p.get("MousePointer").toI2(), 0);
    EXPECT_EQ(p.get("ScaleImage").toI2(), 1);
    EXPECT_EQ(p.get("FillStyle").toI2(), 3);
    EXPECT_EQ(p.get("DrawWidth").toI2(), 1);
    EXPECT_EQ(p.get("ScrollBarsLargeChange").toI2(), 10);
}

TEST(Persistence, FontComesBackIntoTheSameObject) {
    PlacedControl design(false);
    control::FontDescription font{.name = "Odd;Name=\nwith\\escapes",
                                  .sizeUnits = 123457,
                                  .weight = 650,
                                  .charset = 2,
                                  .italic = true,
                                  .strikethrough = true};
    design.control->FontObject()->SetDescription(font);
    std::string bag = design.control->SaveProperties();
    EXPECT_LT(bag.find("BorderStyle="), bag.find("Font=Size=12.3457;Weight=650;"));
    EXPECT_LT(bag.find("Font="), bag.find("ForeColor="));

    PlacedControl restored(false);
    auto held = restored.control->FontObject();
    restored.control->LoadProperties(bag);
    EXPECT_EQ(restored.control->FontObject(), held);
    EXPECT_EQ(held->Description(), font);
    EXPECT_FALSE(restored.control->Modified());
    EXPECT_TRUE(restored.site->changed.empty());
}

TEST(Persistence, MouseIconComesBackWithItsImageAndHotSpot) {
    QImage image(5, 4, QImage::Format_ARGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x) image.setPixel(x, y, qRgba(x * 50, y * 60, 7, x * 60));
    PlacedControl design(false);
    auto icon = std::make_shared<control::Picture>(control::PictureType::Icon, image, QPoint(4, 3));
    design.put("MouseIcon", Variant::Object(icon));
    std::string bag = design.control->SaveProperties();
    EXPECT_NE(bag.find("MouseIcon=3;4;3;iVBOR"), std::string::npos);
    EXPECT_LT(bag.find("LoadWidth="), bag.find("MouseIcon="));
    EXPECT_LT(bag.find("MouseIcon="), bag.find("MousePointer="));

    PlacedControl restored(false);
    restored.control->LoadProperties(bag);
    const control::Picture& back = *restored.control->MouseIcon();
    EXPECT_EQ(back.Type(), control::PictureType::Icon);
    EXPECT_EQ(back.HotSpot(), QPoint(4, 3));
    EXPECT_EQ(back.Image().convertToFormat(QImage::Format_ARGB32), image);

    design.put("MouseIcon", Variant::Object(nullptr));
    EXPECT_NE(design.control->SaveProperties().find("MouseIcon=\n"), std::string::npos);
    restored.control->LoadProperties(design.control->SaveProperties());
    EXPECT_EQ(restored.control->MouseIcon()->Type(), control::PictureType::None);
}

TEST(Persistence, MalformedOrMissingObjectValuesLoadTheirDefaults) {
    std::string png = [] {
        PlacedControl p(false);
        QImage image(2, 2, QImage::Format_ARGB32);
        image.fill(Qt::red);
        p.put("MouseIcon", Variant::Object(std::make_shared<control::Picture>(
                               control::PictureType::Icon, image)));
        std::string bag = p.control->SaveProperties();
        std::size_t start = bag.find("MouseIcon=3;0;0;") + 16;
        return bag.substr(start, bag.find('\n', start) - start);
    }();
    for (const std::string& icon :
         std::vector<std::string>{"1;0;0;" + png, "0;0;0;" + png, "5;0;0;" + png, "3;2;0;" + png,
                                  "3;0;-1;" + png, "3;0;0;" + png.substr(0, png.size() / 2),
                                  "3;0;0;" + png + "@", "3;0;0;aGVsbG8=", "3;x;0;" + png, "3;0"}) {
        PlacedControl p(false);
        auto image = QImage(1, 1, QImage::Format_ARGB32);
        p.put("MouseIcon", Variant::Object(std::make_shared<control::Picture>(
                               control::PictureType::Icon, image)));
        p.put("Font", Variant::Object(std::make_shared<control::Font>(
                          control::FontDescription{.name = "x", .sizeUnits = 10000})));
        p.control->LoadProperties("Font=Size=0;Name=x\nMouseIcon=" + icon + "\n");
        EXPECT_EQ(p.control->MouseIcon()->Type(), control::PictureType::None) << icon;
        EXPECT_EQ(p.control->FontObject()->Description(), control::SystemFontDescription());
    }
    PlacedControl old(false);
    old.control->FontObject()->SetDescription({.name = "x", .sizeUnits = 10000});
    old.control->LoadProperties("_Version=65536\nDrawWidth=3\n");
    EXPECT_EQ(old.control->FontObject()->Description(), control::SystemFontDescription());
    EXPECT_EQ(old.control->MouseIcon()->Type(), control::PictureType::None);
    EXPECT_EQ(old.get("DrawWidth").toI2(), 3);
}

}  // namespace
}  // namespace pm32::test
