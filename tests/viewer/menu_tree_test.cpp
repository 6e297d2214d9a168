#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "tests/viewer/viewer_fixture.h"

namespace pm32::test {
namespace {

using MenuTree = ViewerTest;

// Every item of the menu tree by its control name, its caption and the
// menu it sits in, in order.
TEST_F(MenuTree, EveryItemHasItsNameCaptionAndPlace) {
    const std::vector<std::pair<const char*, std::vector<std::pair<const char*, const char*>>>>
        menus = {
            {"filemenu",
             {{"MenuLoad", "&Open"},
              {"menuClose", "&Close"},
              {"menusave", "&Save"},
              {"MenuSvAs", "Save &As"},
              {"mnuBatch", "Batch File Conversion"},
              {"mnuPref", "Preferences"},
              {"menudash0", ""},
              {"MenuPrint", "Print..."},
              {"MenuDash1", ""},
              {"MenuExit", "&Exit"}}},
            {"EditMenu",
             {{"MnuUndo", "Undo"},
              {"MnuUndoEnable", "Undo Enabled"},
              {"menucopy", "Copy"},
              {"menupast", "Paste"}}},
            {"mnuImage",
             {{"MenuTune", "&Tune..."},
              {"MenuBrit", "Brightness/Contrast/Gamma"},
              {"MenuSharpen", "Sharpen"},
              {"MenuSharpMore", "Sharpen More"},
              {"mnuBlur", "Blur"},
              {"MenuSoften", "Soften"},
              {"MenuSoftenMore", "Soften More"},
              {"MenuReszmnuItem", "Resi&Ze..."},
              {"MenuRotaItem", "&Rotate"},
              {"menuMirrorItem", "Mirror"},
              {"menuConvertItem", "Convert to"},
              {"mnuExtract", "Extract Edges"},
              {"mnuNegate", "Negate"},
              {"mnuInfo", "Image Information"}}},
            {"MenuReszmnu",
             {{"MenuResz", "Resize"},
              {"MenuVGAProp", "Resize to 640x480 Proportional"},
              {"MenuVGA", "Resize to 640x480 Stretch"},
              {"MenuSVGAProp", "Resize to 800x600 Proportional"},
              {"MenuSVGA", "Resize to 800x600 Stretch"},
              {"Menu8514Prop", "Resize to 1024x768 Proportional"},
              {"Menu8514", "Resize to 1024x768 Stretch"}}},
            {"MenuRota",
             {{"menu90L", "90 Degrees &Left"},
              {"menu90r", "90 Degrees &Right"},
              {"menu180", "180 &Degrees"}}},
            {"menuMirror", {{"menuhorz", "Horizontal"}, {"menuvert", "Vertical"}}},
            {"menuConvert",
             {{"mnuBW", "Black and White"},
              {"menuco16", "16 Colors"},
              {"mnuGrayScale", "GrayScale"},
              {"menuco25", "256 Colors"},
              {"mnuTrueColor", "RGB True Color"}}},
            {"menuhelp",
             {{"mnuHlpContents", "&Vistel/32 Topics"},
              {"mnuHlpSeparator", ""},
              {"menuhlpa", "&About Vistel/32"}}},
        };
    for (const auto& [menuName, items] : menus) {
        auto* menu = window->findChild<QMenu*>(menuName);
        ASSERT_NE(menu, nullptr) << menuName;
        const QList<QAction*> actions = menu->actions();
        ASSERT_EQ(actions.size(), static_cast<qsizetype>(items.size())) << menuName;
        for (std::size_t i = 0; i < items.size(); ++i) {
            QAction* item = actions[static_cast<qsizetype>(i)];
            EXPECT_EQ(item->objectName().toStdString(), items[i].first) << menuName;
            EXPECT_EQ(item->text().toStdString(), items[i].second) << items[i].first;
            EXPECT_EQ(item->isSeparator(), std::string(items[i].second).empty()) << items[i].first;
        }
    }
    const QList<QAction*> bar = window->menuBar()->actions();
    ASSERT_EQ(bar.size(), 4);
    const char* titles[] = {"&File", "&Edit", "&Image", "&Help"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(bar[i]->text().toStdString(), titles[i]);
}

TEST_F(MenuTree, ToolBarAndCropStripCarryTheirTips) {
    const std::pair<const char*, const char*> tips[] = {{"Image2_0", "Save Changes"},
                                                        {"Image2_1", "Open File"},
                                                        {"Image1_0", "Zoom Tool"},
                                                        {"Image1_1", "Cropping Tool"},
                                                        {"Image1_2", "Pointer"}};
    for (const auto& [name, tip] : tips) EXPECT_EQ(action(name)->toolTip().toStdString(), tip);
    EXPECT_EQ(action("Image1_0")->statusTip().toStdString(), "Alt = zoom out.");
    const char* fieldTips[] = {"Crop Left, in pixels", "Crop Top, in pixels",
                               "Crop Width, in pixels", "Crop Height, in pixels"};
    for (int i = 0; i < 4; ++i) {
        auto* field = window->findChild<QLineEdit*>(QString("Text1_%1").arg(i));
        ASSERT_NE(field, nullptr);
        EXPECT_EQ(field->toolTip().toStdString(), fieldTips[i]);
    }
    auto* label = window->findChild<QLabel*>("Label1");
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text().toStdString(), "1:1");
    EXPECT_EQ(window->objectName().toStdString(), "PicEdit");
}

// The dialog commands that work on the image wait for one; batch conversion
// needs none.
TEST_F(MenuTree, DialogCommandsNeedAnImage) {
    const char* needImage[] = {"MenuPrint", "MenuTune", "MenuBrit", "MenuResz", "mnuInfo"};
    for (const char* name : needImage) EXPECT_FALSE(action(name)->isEnabled()) << name;
    EXPECT_TRUE(action("mnuBatch")->isEnabled());
    open(writeImage("a.bmp", 20, 10));
    for (const char* name : needImage) EXPECT_TRUE(action(name)->isEnabled()) << name;
    EXPECT_TRUE(action("mnuBatch")->isEnabled());
}

}  // namespace
}  // namespace pm32::test
