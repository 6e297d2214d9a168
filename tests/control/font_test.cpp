#include "control/font.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cmath>
#include <cstdlib>

#include "control/dispids.h"
#include "control/picture.h"
#include "tests/control/test_site.h"

namespace pm32::test {
namespace {

using control::Font;
using control::FontDescription;

constexpr std::int32_t kInvalidValue = automation::ControlScode(control::kInvalidPropertyValue);

std::shared_ptr<Font> fontOf(PlacedControl& p) {
    auto font = std::dynamic_pointer_cast<Font>(p.get("Font").toDispatch());
    EXPECT_NE(font, nullptr);
    return font;
}

TEST(FontObject, BoldAndWeightAreOneSetting) {
    Font font;
    automation::PutProperty(font, "Bold", Variant::Bool(true));
    EXPECT_EQ(automation::GetProperty(font, "Weight").toI2(), 700);
    automation::PutProperty(font, "Weight", Variant::I2(699));
    EXPECT_FALSE(automation::GetProperty(font, "Bold").toBool());
    automation::PutProperty(font, "Weight", Variant::I2(900));
    EXPECT_TRUE(automation::GetProperty(font, "Bold").toBool());
    automation::PutProperty(font, "Bold", Variant::Bool(false));
    EXPECT_EQ(automation::GetProperty(font, "Weight").toI2(), 400);
}

TEST(FontObject, SizeIsARealInPointsKeptToTenThousandths) {
    Font font;
    EXPECT_EQ(automation::GetProperty(font, "Size").toR8(), 9.75) << "the system font";
    automation::PutProperty(font, "size", Variant::String("14.123456"));
    EXPECT_EQ(font.Description().sizeUnits, 141235);
    EXPECT_DOUBLE_EQ(automation::GetProperty(font, "Size").toR8(), 14.1235);
    automation::PutProperty(font, "Size", Variant::I2(12288));
    EXPECT_EQ(automation::GetProperty(font, "Size").toR8(), 12288.0);
}

TEST(FontObject, RefusedValuesLeaveTheFontAsItWas) {
    Font font;
    int changes = 0;
    font.SetChangeHandler([&] { ++changes; });
    FontDescription before = font.Description();
    for (auto [name, value] :
         {std::pair{"Size", Variant::R8(0)}, std::pair{"Size", Variant::R8(-3)},
          std::pair{"Size", Variant::R8(12288.001)}, std::pair{"Size", Variant::R8(std::nan(""))},
          std::pair{"Weight", Variant::I2(-1)}, std::pair{"Weight", Variant::I2(1001)},
          std::pair{"Charset", Variant::I2(256)}})
        EXPECT_EQ(scodeOf([&] { automation::PutProperty(font, name, value); }), kInvalidValue)
            << name << "=" << value.toString();
    EXPECT_EQ(scodeOf([&] { automation::PutProperty(font, "Italic", Variant::String("maybe")); }),
              automation::DISP_E_TYPEMISMATCH);
    EXPECT_EQ(scodeOf([&] { automation::CallMethod(font, "Name"); }),
              automation::DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(font.Description(), before);
    EXPECT_EQ(changes, 0);
}

TEST(FontProperty, IsTheControlsOwnObject) {
    PlacedControl p;
    std::shared_ptr<Font> font = fontOf(p);
    EXPECT_EQ(font, fontOf(p));
    EXPECT_EQ(font->Description(), control::SystemFontDescription());
    EXPECT_FALSE(p.control->Modified());
    automation::PutProperty(*font, "Size", Variant::I2(14));
    EXPECT_EQ(p.control->FontObject()->Description().sizeUnits, 140000);
    EXPECT_EQ(p.site->changed, std::vector<DispId>{control::dispid::Font});
    EXPECT_TRUE(p.control->Modified());
}

TEST(FontProperty, PutCopiesTheDescriptionIntoTheHeldFont) {
    PlacedControl p;
    std::shared_ptr<Font> held = fontOf(p);
    FontDescription serif{.name = "DejaVu Serif",
                          .sizeUnits = 180000,
                          .weight = 700,
                          .charset = 2,
                          .italic = true,
                          .underline = true,
                          .strikethrough = true};
    auto other = std::make_shared<Font>(serif);
    p.put("Font", Variant::Object(other));
    EXPECT_EQ(fontOf(p), held) << "still the same object";
    EXPECT_EQ(held->Description(), serif);
    EXPECT_EQ(p.site->changed, std::vector<DispId>{control::dispid::Font});
    automation::PutProperty(*other, "Size", Variant::I2(30));
    EXPECT_EQ(held->Description().sizeUnits, 180000) << "a copy, not a link";
    EXPECT_EQ(p.site->changed.size(), 1u);
}

TEST(FontProperty, NothingGoesBackToTheSystemFontAndOtherObjectsAreRefused) {
    PlacedControl p;
    automation::PutProperty(*fontOf(p), "Italic", Variant::Bool(true));
    p.site->changed.clear();
    auto picture = std::make_shared<control::Picture>();
    EXPECT_EQ(scodeOf([&] { p.put("Font", Variant::Object(picture)); }),
              automation::DISP_E_TYPEMISMATCH);
    EXPECT_EQ(scodeOf([&] { p.put("Font", Variant::String("Size=3")); }),
              automation::DISP_E_TYPEMISMATCH);
    EXPECT_TRUE(fontOf(p)->Description().italic);
    EXPECT_TRUE(p.site->changed.empty());
    p.put("Font", Variant::Object(nullptr));
    EXPECT_EQ(fontOf(p)->Description(), control::SystemFontDescription());
    EXPECT_EQ(p.site->changed, std::vector<DispId>{control::dispid::Font});
}

TEST(FontProperty, AFontKeptAfterItsControlIsGoneStillWorks) {
    std::shared_ptr<Font> font;
    {
        PlacedControl p;
        font = fontOf(p);
    }
    automation::PutProperty(*font, "Bold", Variant::Bool(true));
    EXPECT_TRUE(font->Description().Bold());
}

// In a fresh process, since an earlier test may have made the application.
TEST(FontProperty, NeedsNoGuiApplicationToBeReadWrittenOrStored) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            PlacedControl p(false);
            automation::PutProperty(*fontOf(p), "Size", Variant::I2(20));
            p.control->LoadProperties(p.control->SaveProperties());
            bool kept = fontOf(p)->Description().sizeUnits == 200000;
            std::exit(kept && QCoreApplication::instance() == nullptr ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace pm32::test
