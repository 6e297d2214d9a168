#include <gtest/gtest.h>

#include <QComboBox>
#include <algorithm>

#include "control/dispids.h"
#include "platform/automation/automation_error.h"
#include "tests/pages/page_fixture.h"

namespace pm32::test {
namespace {

using automation::Variant;

Variant i2(int value) { return Variant::I2(static_cast<std::int16_t>(value)); }
Variant yes() { return Variant::Bool(true); }

struct Binding {
    const char* progId;
    int controlId;
    const char* property;
    Variant value;      // a value other than the default
    std::string shown;  // what the bound widget shows for it
};

// Every bound control of the eight pages, with a value that is not the default.
std::vector<Binding> bindings() {
    return {
        {"Pm32.ZGenPPG", 205, "Appearance", i2(1), "1"},
        {"Pm32.ZGenPPG", 206, "BorderStyle", i2(1), "1"},
        {"Pm32.ZGenPPG", 203, "MousePointer", i2(11), "11"},
        {"Pm32.ZViewPPG", 207, "AutoScale", yes(), "1"},
        {"Pm32.ZViewPPG", 208, "AutoSize", yes(), "1"},
        {"Pm32.ZViewPPG", 213, "AutoLoad", i2(2), "2"},
        {"Pm32.ZViewPPG", 211, "ScaleImage", i2(3), "3"},
        {"Pm32.ZViewPPG", 205, "ScaleScreen", i2(4), "4"},
        {"Pm32.ZViewPPG", 209, "ScrollBars", i2(3), "3"},
        {"Pm32.ZViewPPG", 210, "ScrollBarsLargeChange", i2(20), "20"},
        {"Pm32.ZViewPPG", 206, "ScrollBarsSmallChange", i2(5), "5"},
        {"Pm32.ZGdiPPG", 212, "DrawArrows", i2(3), "3"},
        {"Pm32.ZGdiPPG", 213, "DrawStyle", i2(4), "4"},
        {"Pm32.ZGdiPPG", 214, "DrawWidth", i2(7), "7"},
        {"Pm32.ZGdiPPG", 215, "FillStyle", i2(7), "7"},
        {"Pm32.ZGdiPPG", 217, "FillTransparent", yes(), "1"},
        {"Pm32.ZTextPPG", 219, "Text", Variant::String("two\nlines"), "two\nlines"},
        {"Pm32.ZTextPPG", 220, "TextAlignment", i2(2), "2"},
        {"Pm32.ZTextPPG", 216, "FontTransparent", yes(), "1"},
        {"Pm32.ZTextPPG", 221, "TextAutoSize", yes(), "1"},
        {"Pm32.ZTextPPG", 222, "TextExtLeading", yes(), "1"},
        {"Pm32.ZTextPPG", 223, "TextMultiLine", yes(), "1"},
        {"Pm32.ZSelPPG", 221, "SelectLeft", i2(-5), "-5"},
        {"Pm32.ZSelPPG", 222, "SelectTop", i2(6), "6"},
        {"Pm32.ZSelPPG", 223, "SelectWidth", i2(70), "70"},
        {"Pm32.ZSelPPG", 224, "SelectHeight", i2(80), "80"},
        {"Pm32.ZSelPPG", 228, "PrintLeft", i2(9), "9"},
        {"Pm32.ZSelPPG", 227, "PrintTop", i2(10), "10"},
        {"Pm32.ZSelPPG", 226, "PrintWidth", i2(1100), "1100"},
        {"Pm32.ZSelPPG", 225, "PrintHeight", i2(1200), "1200"},
        {"Pm32.ZIoPPG", 222, "FileName", Variant::String("photo.bmp"), "photo.bmp"},
        {"Pm32.ZIoPPG", 224, "ImageFormat", i2(10), "10"},
        {"Pm32.ZIoPPG", 225, "ImageNumber", i2(3), "3"},
        {"Pm32.ZLoadPPG", 204, "LoadCropX", i2(11), "11"},
        {"Pm32.ZLoadPPG", 229, "LoadCropY", i2(12), "12"},
        {"Pm32.ZLoadPPG", 230, "LoadCropWidth", i2(13), "13"},
        {"Pm32.ZLoadPPG", 231, "LoadCropHeight", i2(14), "14"},
        {"Pm32.ZLoadPPG", 233, "LoadWidth", i2(15), "15"},
        {"Pm32.ZLoadPPG", 234, "LoadHeight", i2(16), "16"},
        {"Pm32.ZLoadPPG", 235, "LoadOptions", i2(4), "4"},
        {"Pm32.ZLoadPPG", 236, "LoadScale", i2(3), "3"},
        {"Pm32.ZLoadPPG", 232, "LoadFastest", yes(), "1"},
        {"Pm32.ZWritePPG", 223, "WriteCompression", i2(75), "75"},
        {"Pm32.ZWritePPG", 227, "WriteOption", i2(3), "3"},
    };
}

TEST(PageBindings, EveryControlShowsItsPropertyAndWritesItThroughItsSetPath) {
    for (const Binding& b : bindings()) {
        SCOPED_TRACE(std::string(b.progId) + " " + b.property);
        OpenPage shown(b.progId);
        ASSERT_NE(shown.page, nullptr);
        QWidget* widget = shown.widget(b.property);
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->property("controlId").toInt(), b.controlId);
        const std::string before = Shown(widget);
        shown.put(b.property, b.value);
        EXPECT_EQ(Shown(widget), before) << "the page shows what it read";
        shown.reopen();
        EXPECT_EQ(Shown(widget), b.shown);

        OpenPage written(b.progId);
        Enter(written.widget(b.property), b.shown);
        EXPECT_TRUE(written.page->isDirty());
        written.site.changed.clear();
        ASSERT_TRUE(written.page->apply());
        EXPECT_EQ(written.get(b.property).toString(), b.value.toString());
        EXPECT_EQ(written.site.changed.size(), 1u) << "one change notification";
        EXPECT_EQ(written.page->written(), std::vector<std::string>{b.property});
        EXPECT_FALSE(written.page->isDirty());
    }
}

TEST(PageBindings, VersionIsShownAndNeverWritten) {
    OpenPage p("Pm32.ZGenPPG");
    QWidget* version = p.widget("Version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->property("controlId").toInt(), 204);
    EXPECT_EQ(Shown(version), "1.0.1.13");
    Enter(version, "9");
    EXPECT_FALSE(p.page->isDirty());
    EXPECT_TRUE(p.page->apply());
    EXPECT_TRUE(p.page->written().empty());
}

TEST(PageBindings, UnchangedPropertiesAreNotWritten) {
    OpenPage p("Pm32.ZGdiPPG");
    Enter(p.widget("DrawStyle"), "2");
    p.site.changed.clear();
    ASSERT_TRUE(p.page->apply());
    EXPECT_EQ(p.site.changed, std::vector<automation::DispId>{control::dispid::DrawStyle});
}

// An object that refuses every call, as a control would that is gone.
class RefusingObject : public automation::Dispatch {
  public:
    std::optional<automation::DispId> GetIdOfName(std::string_view) const override { return 1; }
    Variant Invoke(automation::DispId, automation::InvokeKind, std::span<Variant>) override {
        throw automation::AutomationError(automation::DISP_E_TYPEMISMATCH, "refused");
    }
    const automation::TypeInfo& GetTypeInfo() const override { return info_; }

  private:
    automation::TypeInfo info_;
};

TEST(PageBindings, APropertyThatCannotBeReadIsNotOfferedForEditing) {
    OpenPage p("Pm32.ZGdiPPG");
    p.page->setObjects({std::make_shared<RefusingObject>()});
    QWidget* width = p.widget("DrawWidth");
    EXPECT_FALSE(width->isEnabled());
    Enter(width, "4");
    EXPECT_FALSE(p.page->isDirty());
    EXPECT_TRUE(p.page->apply());
    p.reopen();
    EXPECT_TRUE(width->isEnabled()) << "the control's own property reads again";
}

struct List {
    const char* progId;
    const char* property;
    std::vector<std::string> texts;
};

TEST(PageLists, EveryListHasTheDialogsTextsIndexedByValue) {
    const std::vector<List> lists = {
        {"Pm32.ZGenPPG", "Appearance", {"Flat", "ThreeD"}},
        {"Pm32.ZGenPPG", "BorderStyle", {"None", "FixedSingle"}},
        {"Pm32.ZGenPPG",
         "MousePointer",
         {"Pointing Hand", "Arrow", "Cross", "IBeam", "ICon", "Size", "Size NE SW", "Size N S",
          "Size NW SE", "Size W E", "Up Arrow", "Hourglass", "No Drop", "Arrow and Hourglass",
          "Arrow and Question", "Size All", "Custom"}},
        {"Pm32.ZViewPPG", "AutoLoad", {"0 - None", "1 - Load File", "2 - Embed"}},
        {"Pm32.ZViewPPG", "ScrollBars", {"0 - None", "1 - Horizontal", "2 - Vertical", "3 - Both"}},
        {"Pm32.ZGdiPPG",
         "DrawArrows",
         {"0 - None", "1 - Start of line", "2 - End of line", "3 - Both ends"}},
        {"Pm32.ZGdiPPG",
         "DrawStyle",
         {"0 - Solid", "1 - Dash", "2 - Dot", "3 - Dash-Dot", "4 - Dash-Dot-Dot", "5 - Transparent",
          "6 - Inside Fill"}},
        {"Pm32.ZGdiPPG",
         "FillStyle",
         {"0 - Solid", "1 - Transparent", "2 - Horizontal Line", "3 - Vertical Line",
          "4 - Upward Diagonal", "5 - Downward Diagonal", "6 - Cross", "7 - Diagonal"}},
        {"Pm32.ZTextPPG", "TextAlignment", {"0 - Left", "1 - Right", "2 - Vertical"}},
        {"Pm32.ZIoPPG",
         "ImageFormat",
         {"0 - Unused", "1 - TIFF", "2 - Targa", "3 - BMP", "4 - GIF", "5 - DIB", "6 - PCX",
          "7 - JPEG", "8 - Paintbrush OLE", "9 - FIF", "10 - PNG"}},
        {"Pm32.ZLoadPPG",
         "LoadOptions",
         {"0 - 24 Bit", "1 - 8 Bit Dithered", "2 - 4 Bit Dithered", "3 - 8 Bit Non-Dithered",
          "4 - 4 Bit Non-Dithered"}},
        {"Pm32.ZLoadPPG",
         "LoadScale",
         {"0 - Full Scale", "1 - Half Scale", "2 - Double Scale", "3 - Ignore Scale"}},
        {"Pm32.ZWritePPG",
         "WriteOption",
         {"0 - None", "1 - Progressive", "2 - 8 bit Grayscale",
          "3 - Progressive & 8 bit Grayscale"}},
    };
    for (const List& list : lists) {
        SCOPED_TRACE(list.property);
        OpenPage p(list.progId);
        auto* combo = qobject_cast<QComboBox*>(p.widget(list.property));
        ASSERT_NE(combo, nullptr);
        std::vector<std::string> texts;
        for (int i = 0; i < combo->count(); ++i) texts.push_back(combo->itemText(i).toStdString());
        EXPECT_EQ(texts, list.texts);
    }
}

TEST(PageLists, TheTextPageSaysVerticalWhereInfoTextSaysCenter) {
    OpenPage p("Pm32.ZTextPPG", true);
    p.put("TextAlignment", i2(2));
    p.reopen();
    auto* combo = qobject_cast<QComboBox*>(p.widget("TextAlignment"));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText().toStdString(), "2 - Vertical");
    EXPECT_NE(p.get("InfoText").toString().find("TextAlignment=2 - Center"), std::string::npos);
}

TEST(PageLists, TheLoadPageOffersFiveOptionsThatTheControlTakes) {
    for (int option = 0; option < 5; ++option) {
        OpenPage p("Pm32.ZLoadPPG");
        p.put("LoadOptions", i2(4 - option));
        p.reopen();
        Enter(p.widget("LoadOptions"), std::to_string(option));
        ASSERT_TRUE(p.page->apply()) << option;
        EXPECT_EQ(p.get("LoadOptions").toI2(), option);
    }
}

struct Refusal {
    const char* progId;
    const char* property;
    std::string entered;
    Variant refused;  // the same value put directly, for the property's own error
};

TEST(PageApply, ARefusedValueShowsThePropertysErrorAndTheOldValueStays) {
    for (const Refusal& r : {Refusal{"Pm32.ZGdiPPG", "DrawWidth", "0", i2(0)},
                             Refusal{"Pm32.ZGenPPG", "MousePointer", "16", i2(16)}}) {
        SCOPED_TRACE(r.property);
        OpenPage p(r.progId);
        std::string error;
        try {
            p.put(r.property, r.refused);
        } catch (const automation::AutomationError& e) {
            error = e.description();
        }
        ASSERT_FALSE(error.empty()) << "the property refuses the value itself";
        const std::string old = p.get(r.property).toString();
        p.site.changed.clear();

        BoxRecorder boxes;
        Enter(p.widget(r.property), r.entered);
        EXPECT_FALSE(p.page->apply());
        EXPECT_EQ(boxes.texts, std::vector<std::string>{error});
        EXPECT_EQ(p.get(r.property).toString(), old);
        EXPECT_EQ(Shown(p.widget(r.property)), old) << "the page shows the value that stayed";
        EXPECT_TRUE(p.site.changed.empty());
        EXPECT_TRUE(p.page->written().empty());
    }
}

struct Limit {
    const char* progId;
    const char* property;
    std::string entered;
    std::string message;  // empty: accepted
};

TEST(PageApply, ThePagesOwnLimitsRefuseBeforeAnythingIsWritten) {
    const std::vector<Limit> limits = {
        {"Pm32.ZIoPPG", "ImageNumber", "32768", "Please enter an integer between 0 and 32767."},
        {"Pm32.ZIoPPG", "ImageNumber", "-1", "Please enter an integer between 0 and 32767."},
        {"Pm32.ZIoPPG", "ImageNumber", "32767", ""},
        {"Pm32.ZIoPPG", "ImageNumber", "0", ""},
        {"Pm32.ZIoPPG", "FileName", std::string(101, 'n'),
         "Please enter no more than 100 characters."},
        {"Pm32.ZIoPPG", "FileName", std::string(100, 'n'), ""},
        {"Pm32.ZGdiPPG", "DrawWidth", "wide", "Please enter an integer."},
        {"Pm32.ZSelPPG", "SelectLeft", "40000", "Please enter an integer."},
    };
    for (const Limit& limit : limits) {
        SCOPED_TRACE(std::string(limit.property) + " " + limit.entered.substr(0, 8));
        OpenPage p(limit.progId);
        // Another change on the same page, which a refusal must not let through.
        const bool picture = std::string(limit.progId) == "Pm32.ZIoPPG";
        const char* other = picture ? "ImageFormat" : "FillStyle";
        if (std::string(limit.progId) == "Pm32.ZSelPPG") other = "PrintTop";
        Enter(p.widget(other), "3");
        BoxRecorder boxes;
        Enter(p.widget(limit.property), limit.entered);
        const bool applied = p.page->apply();
        if (limit.message.empty()) {
            EXPECT_TRUE(applied);
            EXPECT_TRUE(boxes.texts.empty());
            EXPECT_EQ(p.get(limit.property).toString(), limit.entered);
            EXPECT_EQ(p.get(other).toI2(), 3);
        } else {
            EXPECT_FALSE(applied);
            EXPECT_EQ(boxes.texts, std::vector<std::string>{limit.message});
            EXPECT_NE(p.get(other).toI2(), 3) << "nothing written";
            EXPECT_TRUE(p.page->isDirty()) << "the entry stays for the user to correct";
        }
    }
}

}  // namespace
}  // namespace pm32::test
