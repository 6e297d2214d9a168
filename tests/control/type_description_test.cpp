#include <gtest/gtest.h>

#include <set>

#include "control/factory.h"
#include "control/identity.h"
#include "tests/control/test_site.h"

namespace pm32::test {
namespace {

TEST(TypeDescription, PublishesEveryCustomIdentifierOnce) {
    PlacedControl p;
    const automation::TypeInfo& info = p.control->GetTypeInfo();
    std::set<DispId> ids;
    for (const auto& member : info.members)
        EXPECT_TRUE(ids.insert(member.id).second) << member.name;
    for (DispId id = 1; id <= 157; ++id) EXPECT_EQ(ids.count(id), id == 52 ? 0u : 1u) << id;
    EXPECT_EQ(info.find(14)->name, "SelectHeight");
    EXPECT_EQ(info.find(65)->name, "PicbufID");
    EXPECT_EQ(info.find(-501)->name, "BackColor");
    EXPECT_EQ(info.progId, "Pixmill32.Picbuf.1");
    EXPECT_EQ(info.events.size(), 14u);
    EXPECT_TRUE(info.events[3].params[0].byRef) << "Callback's Lines";
}

TEST(TypeDescription, DescribesParametersAndAccess) {
    PlacedControl p;
    const automation::TypeInfo& info = p.control->GetTypeInfo();
    const auto* createPalette = info.find("CREATEPALETTE");
    ASSERT_NE(createPalette, nullptr);
    ASSERT_EQ(createPalette->params.size(), 3u);
    EXPECT_TRUE(createPalette->params[1].array);
    EXPECT_EQ(createPalette->params[1].type, automation::VarType::I4);
    EXPECT_FALSE(info.find("Version")->writable);
    EXPECT_TRUE(info.find("hDib")->writable);
    EXPECT_EQ(info.find("GetColor")->type, automation::VarType::I4);
}

TEST(Factory, CreatesByProgIdOrClassId) {
    EXPECT_NE(control::CreateControl("pixmill32.picbuf.1", nullptr), nullptr);
    EXPECT_NE(control::CreateControl("{970b41e3-f71e-11ce-b134-444553540000}", nullptr), nullptr);
    EXPECT_EQ(control::CreateControl("Other.Control", nullptr), nullptr);
    auto control = control::CreateControl(control::kProgId, nullptr);
    EXPECT_EQ(control->GetIdOfName("picbufid"), 65);
    EXPECT_EQ(automation::GetProperty(*control, "PicbufID").toI2(), 23145);
}

}  // namespace
}  // namespace pm32::test
