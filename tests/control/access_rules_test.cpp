#include <gtest/gtest.h>

#include "control/dispids.h"
#include "platform/message_box.h"
#include "tests/control/test_site.h"

namespace pm32::test {
namespace {

using automation::ControlScode;
using automation::CTL_E_GETNOTSUPPORTED;
using automation::CTL_E_SETNOTSUPPORTED;

TEST(RangeChecks, RefusedValuesKeepTheOldValueAndNotifyNothing) {
    PlacedControl p;
    p.put("MousePointer", Variant::I2(99));
    EXPECT_EQ(p.get("MousePointer").toI2(), 99);
    p.site->changed.clear();
    EXPECT_EQ(errorOf([&] { p.put("MousePointer", Variant::I2(16)); }), 20327u);
    EXPECT_EQ(p.get("MousePointer").toI2(), 99);
    EXPECT_TRUE(p.site->changed.empty());
    EXPECT_EQ(errorOf([&] { p.put("DrawWidth", Variant::I2(0)); }), 20339u);
    EXPECT_EQ(p.get("DrawWidth").toI2(), 1);
    p.put("CallbackLines", Variant::I2(0));
    EXPECT_EQ(errorOf([&] { p.put("CallbackLines", Variant::I2(-1)); }), 20325u);
}

TEST(RangeChecks, EveryBoundOfTheTable) {
    struct Case {
        const char* name;
        int low;
        int high;
        std::uint32_t error;
    };
    for (Case c : {Case{"ImageFormat", 0, 10, 20372}, Case{"LoadScale", 0, 3, 20373},
                   Case{"WriteOption", 0, 3, 20391}, Case{"AssignMode", 0, 3, 20366},
                   Case{"DrawArrows", 0, 3, 20368}, Case{"DrawStyle", 0, 6, 20369},
                   Case{"FillStyle", 0, 7, 20370}, Case{"ResizeMode", 0, 3, 20378},
                   Case{"TextAlignment", 0, 3, 20381}, Case{"ScrollBars", 0, 3, 20380},
                   Case{"ScaleImage", 1, 32767, 20344}, Case{"ScaleScreen", 1, 32767, 20343},
                   Case{"ScrollBarsSmallChange", 1, 32767, 20333},
                   Case{"ScrollBarsLargeChange", 1, 32767, 20333}}) {
        PlacedControl p;
        EXPECT_EQ(errorOf([&] { p.put(c.name, Variant::I4(c.low)); }), 0u) << c.name;
        EXPECT_EQ(errorOf([&] { p.put(c.name, Variant::I4(c.high)); }), 0u) << c.name;
        EXPECT_EQ(errorOf([&] { p.put(c.name, Variant::I4(c.low - 1)); }), c.error) << c.name;
        if (c.high < 32767) {
            EXPECT_EQ(errorOf([&] { p.put(c.name, Variant::I4(c.high + 1)); }), c.error) << c.name;
        }
        EXPECT_EQ(p.get(c.name).toI4(), c.high) << c.name;
    }
}

TEST(RangeChecks, RasterOpSixteenIsANumberWithoutText) {
    PlacedControl p;
    try {
        p.put("RasterOp", Variant::I2(16));
        FAIL() << "RasterOp 16 was accepted";
    } catch (const automation::AutomationError& error) {
        EXPECT_EQ(error.scode(), ControlScode(20399));
        EXPECT_EQ(error.description(), "");
    }
    EXPECT_EQ(p.get("ErrorNumber").toI4(), 20399);
}

TEST(AccessRules, DesignTimeOnlyAndRunTimeOnly) {
    PlacedControl run(true);
    EXPECT_EQ(errorOf([&] { run.put("AutoLoad", Variant::I2(1)); }), 20387u);
    PlacedControl design(false);
    EXPECT_EQ(errorOf([&] { design.put("AutoLoad", Variant::I2(3)); }), 20392u);
    design.put("AutoLoad", Variant::I2(2));
    EXPECT_EQ(design.get("AutoLoad").toI2(), 2);

    EXPECT_EQ(scodeOf([&] { design.get("ColorDepth"); }), ControlScode(CTL_E_GETNOTSUPPORTED));
    EXPECT_EQ(scodeOf([&] { design.get("ErrorNumber"); }), ControlScode(CTL_E_GETNOTSUPPORTED));
    EXPECT_EQ(scodeOf([&] { design.put("ErrorNumber", Variant::I4(1)); }),
              ControlScode(CTL_E_GETNOTSUPPORTED));
    EXPECT_EQ(scodeOf([&] { design.get("InfoImage"); }), ControlScode(CTL_E_GETNOTSUPPORTED));
    EXPECT_EQ(run.get("ColorDepth").toI2(), 0);
    EXPECT_EQ(errorOf([&] { run.put("ColorDepth", Variant::I2(8)); }), 20367u);
    EXPECT_EQ(errorOf([&] { design.put("ColorDepth", Variant::I2(8)); }), 20367u);
    EXPECT_EQ(errorOf([&] { run.put("Contents", Variant::I2(1)); }), 20348u);
    EXPECT_EQ(errorOf([&] { run.put("hDC", Variant::I4(0)); }), 20371u);
}

TEST(AccessRules, ReadOnlyAndWriteOnly) {
    PlacedControl run(true);
    PlacedControl design(false);
    EXPECT_EQ(scodeOf([&] { run.put("Version", Variant::String("2")); }),
              ControlScode(CTL_E_SETNOTSUPPORTED));
    EXPECT_EQ(scodeOf([&] { run.put("Xresolution", Variant::I2(3)); }),
              ControlScode(CTL_E_SETNOTSUPPORTED));
    EXPECT_EQ(errorOf([&] { run.get("hDib"); }), 20346u);
    EXPECT_EQ(errorOf([&] { run.get("hPalette"); }), 20347u);
    EXPECT_EQ(errorOf([&] { run.get("PrinterhDC"); }), 20377u);
    EXPECT_EQ(scodeOf([&] { design.get("hDib"); }), ControlScode(CTL_E_GETNOTSUPPORTED));
    EXPECT_EQ(design.get("Version").toString(), "1.0.1.13");
}

TEST(AccessRules, FrameworkRefusalsLeaveErrorNumberAlone) {
    PlacedControl p;
    EXPECT_NE(errorOf([&] { p.put("DrawWidth", Variant::I2(0)); }), 0u);
    EXPECT_NE(scodeOf([&] { p.put("Version", Variant::String("x")); }), 0);
    EXPECT_EQ(p.get("ErrorNumber").toI4(), 20339);
}

TEST(AccessRules, IgnoredSetsChangeNothing) {
    PlacedControl p;
    p.put("PicbufID", Variant::I2(5));
    EXPECT_EQ(p.get("PicbufID").toI2(), 23145);
    p.put("pZDib", Variant::I4(1234));
    EXPECT_EQ(p.get("pZDib").toI4(), 0);
}

TEST(Interplay, ScrollBarsAgainstAutoSizeAndAutoScale) {
    PlacedControl p;
    p.put("AutoSize", Variant::Bool(true));
    EXPECT_EQ(errorOf([&] { p.put("ScrollBars", Variant::I2(1)); }), 20310u);
    p.put("ScrollBars", Variant::I2(0));
    p.put("AutoSize", Variant::Bool(false));
    p.put("AutoScale", Variant::Bool(true));
    EXPECT_EQ(errorOf([&] { p.put("ScrollBars", Variant::I2(2)); }), 20311u);
    EXPECT_EQ(errorOf([&] { p.put("ScaleImage", Variant::I2(2)); }), 20379u);
    EXPECT_EQ(errorOf([&] { p.put("ScaleScreen", Variant::I2(0)); }), 20343u)
        << "the range is checked before AutoScale";
    p.put("AutoScale", Variant::Bool(false));
    p.put("ScrollBars", Variant::I2(3));
    EXPECT_EQ(errorOf([&] { p.put("AutoScale", Variant::Bool(true)); }), 20312u);
    EXPECT_EQ(errorOf([&] { p.put("AutoSize", Variant::Bool(true)); }), 20313u);
}

TEST(StoredProperties, ImageCompressionAlsoSetsWriteCompression) {
    PlacedControl p;
    p.put("ImageCompression", Variant::I2(1));
    EXPECT_EQ(p.get("WriteCompression").toI2(), 1);
    p.put("WriteCompression", Variant::I2(0));
    EXPECT_EQ(p.get("ImageCompression").toI2(), 1);
}

TEST(StoredProperties, SetsNotifyTheContainerWithTheDispatchId) {
    PlacedControl p;
    p.put("FillColor", Variant::I4(0xFF));
    p.put("DataField", Variant::String("col"));
    EXPECT_EQ(p.site->changed, (std::vector<DispId>{control::dispid::FillColor}));
    EXPECT_TRUE(p.control->Modified());
}

TEST(Coercion, LateBoundValuesAreConverted) {
    PlacedControl p;
    p.put("ScaleImage", Variant::String("12"));
    EXPECT_EQ(p.get("ScaleImage").type(), automation::VarType::I2);
    EXPECT_EQ(p.get("ScaleImage").toI2(), 12);
    p.put("ScaleImage", Variant::R8(2.5));
    EXPECT_EQ(p.get("ScaleImage").toI2(), 2) << "halves round to even";
    p.put("ScaleImage", Variant::I4(7));
    EXPECT_EQ(p.get("ScaleImage").toI2(), 7);
    EXPECT_EQ(scodeOf([&] { p.put("ScaleImage", Variant::String("abc")); }),
              automation::DISP_E_TYPEMISMATCH);
    EXPECT_EQ(scodeOf([&] { p.put("ScaleImage", Variant::I4(70000)); }),
              automation::DISP_E_OVERFLOW);
    EXPECT_EQ(p.get("ScaleImage").toI2(), 7);
    EXPECT_EQ(p.get("ErrorNumber").toI4(), 0);
}

TEST(Members, NotYetBuiltMembersSayNotImplemented) {
    PlacedControl p;
    EXPECT_EQ(scodeOf([&] { p.put("PrinterhDC", Variant::I4(1)); }), automation::E_NOTIMPL);
    EXPECT_EQ(scodeOf([&] { p.get("Picture"); }), automation::E_NOTIMPL);
    EXPECT_EQ(scodeOf([&] { p.call("Nonsense"); }), automation::DISP_E_UNKNOWNNAME);
}

TEST(Members, ArgumentCountsAreChecked) {
    PlacedControl p;
    EXPECT_EQ(scodeOf([&] { p.call("Verify"); }), automation::DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(scodeOf([&] { p.call("Clear", {Variant::I2(1)}); }),
              automation::DISP_E_BADPARAMCOUNT);
}

}  // namespace
}  // namespace pm32::test

namespace pm32::test {
namespace {

TEST(AboutBox, ShowsNameAndVersionThroughTheHostsBox) {
    std::string seen;
    platform::SetMessageBoxHandler(
        [&](std::string_view text, std::string_view caption, std::uint32_t) {
            seen = std::string(caption) + "|" + std::string(text);
            return platform::BoxAnswer::Ok;
        });
    PlacedControl p;
    p.call("AboutBox");
    platform::SetMessageBoxHandler({});
    EXPECT_EQ(seen, "About Pixmill32 Control|Pixmill32 OCX\nVersion 1.0.1.13");
}

}  // namespace
}  // namespace pm32::test
