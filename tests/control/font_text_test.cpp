#include <gtest/gtest.h>

#include "control/font_description.h"

namespace pm32::test {
namespace {

using control::FontDescription;
using control::FontText;
using control::ParseFontText;

TEST(FontText, WritesEveryFieldWithTheNameLast) {
    EXPECT_EQ(FontText(control::SystemFontDescription()),
              "Size=9.75;Weight=400;Charset=0;Italic=False;Underline=False;Strikethrough=False;"
              "Name=DejaVu Sans");
    FontDescription font{
        .name = "A;b=c\\", .sizeUnits = 120001, .weight = 0, .charset = 255, .italic = true};
    EXPECT_EQ(FontText(font),
              "Size=12.0001;Weight=0;Charset=255;Italic=True;Underline=False;"
              "Strikethrough=False;Name=A;b=c\\");
}

TEST(FontText, ReadsBackExactly) {
    for (const FontDescription& font :
         {control::SystemFontDescription(),
          FontDescription{.name = "", .sizeUnits = 1, .weight = 1000, .strikethrough = true},
          FontDescription{
              .name = "Name=x;Size=3", .sizeUnits = 122880000, .charset = 128, .underline = true},
          FontDescription{.name = " DejaVu Serif ", .sizeUnits = 105000, .weight = 700}}) {
        std::optional<FontDescription> back = ParseFontText(FontText(font));
        ASSERT_TRUE(back) << FontText(font);
        EXPECT_EQ(*back, font) << FontText(font);
    }
}

TEST(FontText, FieldsLeftOutKeepTheSystemFontsValues) {
    FontDescription expected = control::SystemFontDescription();
    EXPECT_EQ(ParseFontText(""), expected);
    expected.sizeUnits = 140000;
    expected.italic = true;
    EXPECT_EQ(ParseFontText("Italic=true;Size=14"), expected);
    expected.name = "DejaVu Serif";
    EXPECT_EQ(ParseFontText("Italic=TRUE;Size=14.0;Name=DejaVu Serif"), expected);
}

TEST(FontText, RefusesWhatTheFontWouldRefuse) {
    for (const char* text : {"Size=0",
                             "Size=-1",
                             "Size=12288.0001",
                             "Size=1.23456",
                             "Size=1.",
                             "Size=.5",
                             "Size=1e2",
                             "Size=+3",
                             "Size= 3",
                             "Size=99999999999999999999",
                             "Weight=1001",
                             "Weight=-0",
                             "Weight=7OO",
                             "Charset=256",
                             "Italic=1",
                             "Italic=",
                             "Bold=True",
                             "size=3",
                             "Size=3;Size=4",
                             "Size=3;",
                             ";Size=3",
                             "Size",
                             "Weight=400;;Name=x",
                             "Name"})
        EXPECT_EQ(ParseFontText(text), std::nullopt) << text;
    EXPECT_EQ(ParseFontText("Size=.5"), std::nullopt);
    EXPECT_EQ(ParseFontText("Size=0.5")->sizeUnits, 5000);
}

}  // namespace
}  // namespace pm32::test
