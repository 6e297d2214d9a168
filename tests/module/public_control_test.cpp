#include <gtest/gtest.h>
#include <pm32.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

// Drives controls through the installed header alone, as another program does.
namespace {

using pm32::AutomationError;
using pm32::Control;
using pm32::Variant;

TEST(PublicControl, IsMadeByProgIdOrClassIdAndRefusesOtherNames) {
    struct Case {
        const char* name;
        const char* typeName;  // null: refused
    };
    for (const Case& c : {Case{"Pixmill32.Picbuf.1", "Picbuf"},
                          Case{"{970b41e3-f71e-11ce-b134-444553540000}", "Picbuf"},
                          Case{"PIXMILL32.DATASOURCE.1", "DataSource"},
                          Case{"{970B41EC-F71E-11CE-B134-444553540000}", "DataSource"},
                          Case{"Pixmill32.Picbuf.2", nullptr}, Case{"", nullptr}}) {
        SCOPED_TRACE(c.name);
        if (c.typeName == nullptr) {
            try {
                Control control(c.name);
                ADD_FAILURE() << "made a control of an unknown class";
            } catch (const AutomationError& error) {
                EXPECT_EQ(error.scode(), pm32::automation::REGDB_E_CLASSNOTREG);
            }
            continue;
        }
        Control control(c.name);
        EXPECT_EQ(control.typeInfo().name, c.typeName);
    }
}

TEST(PublicControl, RunsMembersByNameAndIdAndHandsOutItsEvents) {
    Control picbuf;
    std::vector<std::string> events;
    picbuf.onEvent([&](pm32::DispId, std::string_view name, std::span<Variant>) {
        events.emplace_back(name);
    });
    picbuf.call("Init", {Variant::I2(24), Variant::I2(3), Variant::I2(2), Variant::I4(0x0000FF)});
    EXPECT_EQ(events, std::vector<std::string>{"Change"});
    EXPECT_EQ(picbuf.get("Xresolution").toI4(), 3);

    const std::optional<pm32::DispId> id = picbuf.idOf("yresolution");
    ASSERT_TRUE(id);
    EXPECT_EQ(picbuf.invoke(*id, pm32::InvokeKind::PropertyGet, {}).toI4(), 2);

    auto row = std::make_shared<pm32::automation::SafeArray>();
    row->elementType = pm32::VarType::I4;
    row->elements.resize(3);
    picbuf.call("GetScanLine", {Variant::I2(1), Variant::Array(row)});
    EXPECT_EQ(row->elements[2].toI4(), 0x0000FF);

    picbuf.onEvent({});
    picbuf.put("AssignMode", Variant::I2(1));
    EXPECT_EQ(picbuf.get("AssignMode").toI2(), 1);
    EXPECT_EQ(events.size(), 1u) << "no handler, no events";
    EXPECT_NE(picbuf.typeInfo().find("Gamma")->help.find("5 changes nothing"), std::string::npos);
}

TEST(PublicControl, ReportsControlErrorsWithTheirNumberAndMessage) {
    Control picbuf;
    try {
        picbuf.call("Gamma", {Variant::R8(5)});
        ADD_FAILURE() << "Gamma ran without an image";
    } catch (const AutomationError& error) {
        ASSERT_TRUE(pm32::automation::IsControlScode(error.scode()));
        EXPECT_EQ(pm32::automation::ControlErrorNumber(error.scode()), 20306u);
        EXPECT_EQ(error.description(), pm32::ErrorMessage(20306));
        EXPECT_EQ(pm32::ErrorMessage(20306), "Control does not contain a Dib");
    }
    EXPECT_EQ(picbuf.get("ErrorNumber").toI4(), 20306);
    EXPECT_THROW(picbuf.get("NoSuchMember"), AutomationError);
}

// One control's image reaches another through the object value, which keeps
// the source alive after its Control is gone.
TEST(PublicControl, PassesOneControlToAnother) {
    Control target;
    Variant source;
    {
        Control picbuf;
        picbuf.call("Init",
                    {Variant::I2(24), Variant::I2(2), Variant::I2(2), Variant::I4(0x00FF00)});
        source = picbuf.object();
    }
    target.call("Assign", {Variant::Bool(false), source, Variant::Bool(false)});
    EXPECT_EQ(target.call("GetColor", {Variant::I2(1), Variant::I2(1)}).toI4(), 0x00FF00);
}

// A printer opened by name takes the image through PrinterhDC; the document is
// written when it ends, after which its context is gone.
TEST(PublicControl, PrintsOnAPrinterOpenedByName) {
    for (const char* refused : {"out.png", ".pdf", "cups:", "cups:no-such-queue"}) {
        SCOPED_TRACE(refused);
        try {
            pm32::Printer printer(refused);
            ADD_FAILURE() << "opened a printer";
        } catch (const AutomationError& error) {
            EXPECT_EQ(static_cast<std::uint32_t>(error.scode()), 0x80004005u);
            EXPECT_FALSE(error.description().empty());
        }
    }
    const std::string path =
        testing::TempDir() + "pm32-printer-" + std::to_string(::getpid()) + ".pdf";
    Control picbuf;
    picbuf.call("Init", {Variant::I2(24), Variant::I2(4), Variant::I2(4), Variant::I4(0xFF)});
    pm32::Printer printer(path);
    ASSERT_NE(printer.context(), 0u);
    for (const char* name : {"PrintLeft", "PrintTop", "PrintWidth", "PrintHeight"})
        picbuf.put(name, Variant::I4(std::string_view(name).ends_with("t") ? 300 : 600));
    picbuf.put("PrinterhDC", Variant::I4(static_cast<std::int32_t>(printer.context())));
    printer.end();
    EXPECT_EQ(printer.context(), 0u);
    std::ifstream written(path, std::ios::binary);
    std::string start(5, '\0');
    written.read(start.data(), 5);
    EXPECT_EQ(start, "%PDF-");
    std::remove(path.c_str());
}

}  // namespace
