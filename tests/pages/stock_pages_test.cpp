#include <gtest/gtest.h>

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "control/factory.h"
#include "control/pages/page_factory.h"
#include "control/pages/pages.h"
#include "control/pages/property_sheet.h"
#include "tests/pages/page_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/window/offscreen_application.h"

namespace pm32::test {
namespace {

using automation::Variant;

TEST(PageClasses, EachIsMadeByItsProgIdAndCarriesItsTypeName) {
    OffscreenApplication();
    struct Row {
        const char* progId;
        const char* className;
        const char* typeName;
        const char* caption;
    };
    // In the order the control lists them.
    const std::vector<Row> rows = {
        {"Pm32.ZGenPPG", "ZGenPPG", "ZGenPPG Property Page", "General"},
        {"Pm32.ZIoPPG", "ZIoPPG", "ZIoPPG Property Page", "Picture"},
        {"Pm32.ZLoadPPG", "ZLoadPPG", "ZLoadPPG Property Page", "Load"},
        {"Pm32.ZWritePPG", "ZWritePPG", "ZWritePPG Property Page", "Write"},
        {"Pm32.ZSelPPG", "ZSelPPG", "ZSelPPG Property Page", "Select"},
        {"Pm32.ZViewPPG", "ZViewPPG", "ZViewPPG Property Page", "View"},
        {"Pm32.ZGdiPPG", "ZGdiPPG", "ZGdiPPG Property Page", "Drawing"},
        {"Pm32.ZTextPPG", "ZTextPPG", "ZTextPPG Property Page", "Text"},
        {"Pm32.StockFontPage", "StockFontPage", "Font Property Page", "Font"},
        {"Pm32.StockColorPage", "StockColorPage", "Color Property Page", "Color"},
    };
    std::vector<std::string> listed;
    for (const control::PageClass& page : control::ControlPages()) listed.emplace_back(page.progId);
    ASSERT_EQ(listed.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE(row.progId);
        EXPECT_EQ(listed[i], row.progId);
        for (std::string name :
             {std::string(row.progId), QString(row.progId).toUpper().toStdString(),
              std::string(control::FindPageClass(row.progId)->classId)}) {
            auto page = control::pages::CreatePropertyPage(name);
            ASSERT_NE(page, nullptr) << name;
            EXPECT_EQ(page->objectName().toStdString(), row.className);
            EXPECT_EQ(page->typeName(), row.typeName);
            EXPECT_EQ(page->windowTitle().toStdString(), row.caption);
        }
    }
    EXPECT_EQ(control::pages::CreatePropertyPage("Pm32.NoSuchPPG"), nullptr);
    EXPECT_EQ(control::pages::CreatePropertyPage("Pixmill32.Picbuf.1"), nullptr);
}

TEST(PicturePage, BrowseOffersTheImageFiltersAndClearEmptiesTheName) {
    TempDir dir;
    const std::string chosen = dir.path("chosen.bmp");
    std::FILE* file = std::fopen(chosen.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fclose(file);

    OpenPage p("Pm32.ZIoPPG");
    auto* browse = p.page->findChild<QPushButton*>("Browse");
    auto* clear = p.page->findChild<QPushButton*>("Clear");
    ASSERT_NE(browse, nullptr);
    ASSERT_NE(clear, nullptr);
    EXPECT_EQ(browse->text().toStdString(), "&Browse");
    EXPECT_EQ(clear->text().toStdString(), "&Clear");

    QString title;
    QStringList filters;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        title = dialog->windowTitle();
        filters = dialog->nameFilters();
        dialog->setDirectory(QString::fromStdString(dir.path("")));
        dialog->selectFile(QString::fromStdString(chosen));
        static_cast<QDialog*>(dialog)->accept();
    });
    browse->click();
    EXPECT_EQ(title.toStdString(), "Open an Image File");
    EXPECT_EQ(filters, QStringList({
                           "All Images (.bmp,.dib,.fif,.gif,.jpg,.pcx,.png,.tif) (*.bmp *.dib "
                           "*.fif *.gif *.jpg *.pcx *.png *.tif)",
                           "Windows Bitmap (.bmp, .dib) (*.bmp *.dib)",
                           "Iterated Fractal (.fif) (*.fif)",
                           "GIF (.gif) (*.gif)",
                           "JPG (.jpg) (*.jpg)",
                           "PCX (.pcx) (*.pcx)",
                           "PNG (.png) (*.png)",
                           "TIFF (.tif) (*.tif)",
                       }));
    EXPECT_EQ(Shown(p.widget("FileName")), chosen);
    ASSERT_TRUE(p.page->apply());
    EXPECT_EQ(p.get("FileName").toString(), chosen);

    clear->click();
    EXPECT_EQ(Shown(p.widget("FileName")), "");
    ASSERT_TRUE(p.page->apply());
    EXPECT_EQ(p.get("FileName").toString(), "");
}

TEST(StockPages, TheFontPageWritesThroughTheControlsFontObject) {
    OpenPage p("Pm32.StockFontPage");
    auto* page = static_cast<control::pages::FontPage*>(p.page.get());
    EXPECT_FALSE(page->isDirty()) << "opening the page changes nothing";
    QFont chosen("DejaVu Serif");
    chosen.setPointSizeF(14);
    chosen.setWeight(QFont::Bold);
    chosen.setItalic(true);
    chosen.setStyleName("Bold Italic");
    chosen.setUnderline(true);
    page->chooser()->setCurrentFont(chosen);
    const QFont taken = page->chooser()->currentFont();
    ASSERT_TRUE(taken.italic() && taken.bold()) << "the chooser has the style asked for";
    ASSERT_TRUE(page->isDirty());
    p.site.changed.clear();
    ASSERT_TRUE(page->apply());
    automation::DispatchPtr font = p.get("Font").toDispatch();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(automation::GetProperty(*font, "Name").toString(), taken.family().toStdString());
    EXPECT_EQ(automation::GetProperty(*font, "Size").toR8(), 14.0);
    EXPECT_TRUE(automation::GetProperty(*font, "Bold").toBool());
    EXPECT_TRUE(automation::GetProperty(*font, "Italic").toBool());
    EXPECT_TRUE(automation::GetProperty(*font, "Underline").toBool());
    EXPECT_FALSE(automation::GetProperty(*font, "Strikethrough").toBool());
    EXPECT_FALSE(p.site.changed.empty()) << "the control heard of the new font";
    EXPECT_EQ(page->written(), std::vector<std::string>{"Font"});
}

TEST(StockPages, TheFontPageKeepsWhatTheUserLeftAlone) {
    OpenPage p("Pm32.StockFontPage");
    auto* page = static_cast<control::pages::FontPage*>(p.page.get());
    QFont underlined = page->chooser()->currentFont();
    underlined.setUnderline(true);
    page->chooser()->setCurrentFont(underlined);
    ASSERT_TRUE(page->apply());
    automation::DispatchPtr font = p.get("Font").toDispatch();
    ASSERT_NE(font, nullptr);
    EXPECT_TRUE(automation::GetProperty(*font, "Underline").toBool());
    EXPECT_EQ(automation::GetProperty(*font, "Size").toR8(), 9.75) << "not the chooser's 10";
    EXPECT_EQ(automation::GetProperty(*font, "Weight").toI2(), 400);
    EXPECT_FALSE(automation::GetProperty(*font, "Italic").toBool());
    EXPECT_EQ(automation::GetProperty(*font, "Name").toString(), "DejaVu Sans");
}

TEST(StockPages, TheColorPageWritesOnlyTheColoursChosen) {
    OpenPage p("Pm32.StockColorPage");
    auto* page = static_cast<control::pages::ColorPage*>(p.page.get());
    QStringList names;
    for (int i = 0; i < page->properties()->count(); ++i) names << page->properties()->itemText(i);
    EXPECT_EQ(names, QStringList({"BackColor", "FillColor", "ForeColor"}));
    struct Choice {
        const char* property;
        QColor color;
        std::int32_t ole;
    };
    for (const Choice& c : {Choice{"ForeColor", QColor(10, 20, 30), 0x1E140A},
                            Choice{"FillColor", QColor(255, 0, 128), 0x8000FF}}) {
        page->properties()->setCurrentText(c.property);
        EXPECT_FALSE(page->isDirty()) << "showing a property's colour changes nothing";
        page->chooser()->setCurrentColor(c.color);
        ASSERT_TRUE(page->apply());
        EXPECT_EQ(p.get(c.property).toI4(), c.ole);
    }
    EXPECT_EQ(static_cast<std::uint32_t>(p.get("BackColor").toI4()), 0x8000000Fu)
        << "a system colour not chosen stays one";
    EXPECT_EQ(page->written(), (std::vector<std::string>{"ForeColor", "FillColor"}));
}

TEST(PropertySheet, ShowsThePagesInTheControlsOrderAndOkWritesThem) {
    OffscreenApplication();
    DesignSite site;
    std::shared_ptr<control::ZPm32> picbuf = control::CreatePicbuf(&site);
    control::pages::PropertySheet sheet("Picbuf1 Properties", {picbuf});
    QStringList tabs;
    for (int i = 0; i < sheet.tabs()->count(); ++i) tabs << sheet.tabs()->tabText(i);
    EXPECT_EQ(tabs, QStringList({"General", "Picture", "Load", "Write", "Select", "View", "Drawing",
                                 "Text", "Font", "Color"}));

    QPushButton* apply = sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Apply);
    ASSERT_NE(apply, nullptr);
    EXPECT_FALSE(apply->isEnabled()) << "nothing to apply yet";
    Enter(sheet.page(6)->widgetFor("DrawWidth"), "0");
    EXPECT_TRUE(apply->isEnabled());
    Enter(sheet.page(0)->widgetFor("BorderStyle"), "1");
    BoxRecorder boxes;
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Rejected) << "a refused value keeps the sheet open";
    EXPECT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(sheet.tabs()->currentIndex(), 6);
    Enter(sheet.page(6)->widgetFor("DrawWidth"), "4");
    sheet.accept();
    EXPECT_EQ(sheet.result(), QDialog::Accepted);
    EXPECT_EQ(sheet.written(), (std::vector<std::string>{"BorderStyle", "DrawWidth"}));
    EXPECT_EQ(automation::GetProperty(*picbuf, "DrawWidth").toI2(), 4);
    EXPECT_EQ(automation::GetProperty(*picbuf, "BorderStyle").toI2(), 1);
    EXPECT_FALSE(apply->isEnabled()) << "every page holds what the control holds";
}

}  // namespace
}  // namespace pm32::test
