#include <gtest/gtest.h>

#include <climits>

#include "control/dispids.h"
#include "control/member_row.h"
#include "control/type_description.h"
#include "platform/message_box.h"
#include "tests/control/test_site.h"

namespace pm32::test {
namespace {

using automation::ControlScode;
using automation::CTL_E_GETNOTSUPPORTED;
using automation::CTL_E_SETNOTSUPPORTED;
using automation::VarType;

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

// Every ranged member of the table, so none can be left out: both bounds
// are taken, the values just outside them refused with the member's number,
// and the last accepted value kept. Indexed members are tried on a region.
TEST(RangeChecks, EveryBoundOfTheTable) {
    int checked = 0;
    std::vector<std::string> refusedNames;
    for (const control::MemberRow& member : control::MemberTable()) {
        if (!member.range) continue;
        SCOPED_TRACE(std::string(member.name));
        const control::Range range = *member.range;
        PlacedControl p(member.set != control::SetRule::DesignTimeOnly);
        std::vector<Variant> index;
        if (!member.params.empty()) {
            p.control->Regions().resize(2);
            index.push_back(i2(1));
        }
        auto put = [&](std::int32_t value) {
            return errorOf([&] {
                std::vector<Variant> args = index;
                args.push_back(member.type == VarType::I2 ? i2(value) : i4(value));
                p.control->Invoke(member.id, automation::InvokeKind::PropertyPut, args);
            });
        };
        const std::int32_t typeMin = member.type == VarType::I2 ? -32768 : INT32_MIN;
        const std::int32_t typeMax = member.type == VarType::I2 ? 32767 : INT32_MAX;
        EXPECT_EQ(put(range.min), 0u);
        EXPECT_EQ(put(range.max), 0u);
        for (std::int64_t outside : {std::int64_t{range.min} - 1, std::int64_t{range.max} + 1}) {
            if (outside < typeMin || outside > typeMax || outside == range.alsoAllowed) continue;
            EXPECT_EQ(put(static_cast<std::int32_t>(outside)), range.error) << outside;
        }
        if (range.alsoAllowed) {
            EXPECT_EQ(put(*range.alsoAllowed), 0u);
        }
        // The values the member's enumeration names are taken, but for those
        // outside its range, which are refused and listed below.
        for (const automation::EnumInfo& named : control::PicbufTypeInfo().enums) {
            if (named.name != "enum" + std::string(member.name)) continue;
            for (const auto& [text, value] : named.values) {
                const bool taken =
                    (value >= range.min && value <= range.max) || value == range.alsoAllowed;
                if (!taken) refusedNames.push_back(text);
                EXPECT_EQ(put(value), taken ? 0u : range.error) << text;
            }
            EXPECT_EQ(put(range.alsoAllowed.value_or(range.max)), 0u);
        }
        std::vector<Variant> args = index;
        const std::int32_t kept = range.alsoAllowed.value_or(range.max);
        EXPECT_EQ(p.control->Invoke(member.id, automation::InvokeKind::PropertyGet, args).toI4(),
                  kept);
        ++checked;
    }
    EXPECT_GE(checked, 21);
    // The one published name the control refuses: its custom pointer is 99.
    EXPECT_EQ(refusedNames, std::vector<std::string>{"MPCustom"});
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

TEST(Members, UnknownNamesAreRefused) {
    PlacedControl p;
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
