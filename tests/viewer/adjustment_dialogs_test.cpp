#include <QCheckBox>
#include <QLabel>
#include <QScrollBar>
#include <QSpinBox>

#include "tests/viewer/viewer_fixture.h"
#include "viewer/adjust_dialog.h"
#include "viewer/image_files.h"
#include "viewer/information_window.h"
#include "viewer/resize_dialog.h"

namespace pm32::test {
namespace {

using viewer::AdjustDialog;
using viewer::InformationWindow;
using viewer::ResizeDialog;
using AdjustmentDialogs = ViewerTest;

QSpinBox* box(QDialog& dialog, const char* name) { return dialog.findChild<QSpinBox*>(name); }

QScrollBar* bar(QDialog& dialog, int index) {
    return dialog.findChild<QScrollBar*>(QString("HScroll%1").arg(index + 1));
}

std::int32_t colorOf(viewer::Picbuf& control, int x, int y) {
    return control.call("GetColor", {viewer::Short(x), viewer::Short(y)}).toI4();
}

// Every pixel of two controls alike.
void expectSameImage(viewer::Picbuf& a, viewer::Picbuf& b) {
    ASSERT_EQ(a.getInt("Xresolution"), b.getInt("Xresolution"));
    ASSERT_EQ(a.getInt("Yresolution"), b.getInt("Yresolution"));
    for (int y = 0; y < a.getInt("Yresolution"); y += 3)
        for (int x = 0; x < a.getInt("Xresolution"); x += 3)
            ASSERT_EQ(colorOf(a, x, y), colorOf(b, x, y)) << x << "," << y;
}

// The boxes keep the aspect ratio while proportional, the preview shows the
// result that OK then gives the shown image, with undo.
TEST_F(AdjustmentDialogs, ResizeKeepsProportionsPreviewsAndUndoes) {
    open(writeImage("photo.bmp", 64, 48));
    std::unique_ptr<viewer::Picbuf> previewed;
    dialogs.then([&](QDialog& shown) {
        auto& dialog = As<ResizeDialog>(shown);
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Resize");
        QSpinBox* width = box(dialog, "txtWidth");
        QSpinBox* height = box(dialog, "txtHeight");
        QSpinBox* scale = box(dialog, "txtScale");
        EXPECT_EQ(width->value(), 64);
        EXPECT_EQ(height->value(), 48);
        EXPECT_EQ(scale->value(), 100);
        EXPECT_TRUE(dialog.findChild<QCheckBox*>("chkProportional")->isChecked());
        width->setValue(32);
        EXPECT_EQ(height->value(), 24);
        EXPECT_EQ(scale->value(), 50);
        scale->setValue(200);
        EXPECT_EQ(width->value(), 128);
        EXPECT_EQ(height->value(), 96);
        height->setValue(36);
        EXPECT_EQ(width->value(), 48);
        EXPECT_EQ(scale->value(), 75);
        dialog.findChild<QCheckBox*>("chkProportional")->setChecked(false);
        height->setValue(20);
        EXPECT_EQ(width->value(), 48);
        EXPECT_EQ(dialog.chosenSize(), QSize(48, 20));
        dialog.showPreview();
        EXPECT_EQ(dialog.preview().getInt("Xresolution"), 48);
        EXPECT_EQ(dialog.preview().getInt("Yresolution"), 20);
        EXPECT_EQ(dialog.findChild<QLabel*>("lblPreviewSize")->text().toStdString(),
                  "48 x 20 pixels");
        previewed = std::make_unique<viewer::Picbuf>();
        previewed->call("Assign", {automation::Variant::Bool(false),
                                   automation::Variant::Object(dialog.preview().object()),
                                   automation::Variant::Bool(false)});
        dialog.accept();
    });
    trigger("MenuResz");
    EXPECT_EQ(shownSize(), QSize(48, 20));
    expectSameImage(window->shown(), *previewed);
    EXPECT_TRUE(window->isImageModified());
    EXPECT_EQ(action("MnuUndo")->text().toStdString(), "Undo Resize");

    dialogs.then([](QDialog& shown) {
        box(shown, "txtWidth")->setValue(10);
        shown.reject();
    });
    trigger("MenuResz");
    EXPECT_EQ(shownSize(), QSize(48, 20));
    trigger("MnuUndo");
    EXPECT_EQ(shownSize(), QSize(64, 48));
    EXPECT_EQ(shownColor(7, 9), OleColor(Pattern(7, 9)));
}

// The bars reach BrightCont and Gamma as the mapping says: the preview
// equals the control's own operations with those arguments; Reset brings
// back the untouched image; OK applies the same to the shown image.
TEST_F(AdjustmentDialogs, TunePreviewResetAndApply) {
    const QString path = writeImage("photo.bmp", 40, 30);
    open(path);
    viewer::Picbuf expected;
    ASSERT_EQ(viewer::LoadImage(expected, path, 0, true), 0u);
    expected.call("BrightCont", {automation::Variant::R8(0.6), automation::Variant::R8(0.5)});
    expected.call("Gamma", {automation::Variant::R8(6.0)});
    viewer::Picbuf brighter;
    ASSERT_EQ(viewer::LoadImage(brighter, path, 0, true), 0u);
    brighter.call("BrightCont", {automation::Variant::R8(0.7), automation::Variant::R8(0.75)});

    dialogs.then([&](QDialog& shown) {
        auto& dialog = As<AdjustDialog>(shown);
        EXPECT_EQ(dialog.windowTitle().toStdString(), "Adjust Brightness /Contrast/Gamma");
        for (int i = 0; i < 3; ++i) EXPECT_EQ(bar(dialog, i)->value(), 0);
        expectSameImage(dialog.preview(), window->shown());
        expectSameImage(dialog.untouched(), window->shown());
        bar(dialog, 0)->setValue(20);
        bar(dialog, 1)->setValue(25);
        dialog.showPreview();
        expectSameImage(dialog.preview(), brighter);
        expectSameImage(dialog.untouched(), window->shown());
        dialog.reset();
        for (int i = 0; i < 3; ++i) EXPECT_EQ(bar(dialog, i)->value(), 0);
        expectSameImage(dialog.preview(), window->shown());
        bar(dialog, 0)->setValue(10);
        bar(dialog, 2)->setValue(-10);
        dialog.showPreview();
        expectSameImage(dialog.preview(), expected);
        dialog.accept();
    });
    trigger("MenuBrit");
    expectSameImage(window->shown(), expected);
    EXPECT_EQ(action("MnuUndo")->text().toStdString(), "Undo Tune");
    EXPECT_TRUE(window->isImageModified());
    EXPECT_EQ(settings->text("TuneSpot").toStdString(), "10,0,-10");

    // The next adjustment starts where the last one ended; Cancel changes
    // nothing.
    dialogs.then([](QDialog& shown) {
        EXPECT_EQ(bar(shown, 0)->value(), 10);
        EXPECT_EQ(bar(shown, 2)->value(), -10);
        bar(shown, 1)->setValue(40);
        shown.reject();
    });
    trigger("MenuTune");
    expectSameImage(window->shown(), expected);
    EXPECT_EQ(settings->text("TuneSpot").toStdString(), "10,0,-10");
    trigger("MnuUndo");
    EXPECT_EQ(shownColor(5, 5), OleColor(Pattern(5, 5)));
}

TEST_F(AdjustmentDialogs, InformationTexts) {
    struct Row {
        const char* caption;
        std::string value;
    };
    auto expectRows = [&](const std::vector<Row>& rows) {
        dialogs.then([rows](QDialog& shown) {
            auto& info = As<InformationWindow>(shown);
            for (const Row& row : rows)
                EXPECT_EQ(info.row(row.caption).toStdString(), row.value) << row.caption;
            info.accept();
        });
        trigger("mnuInfo");
    };
    // A 40 x 30 true-colour BMP: 54 header bytes and 30 rows of 120.
    const QString bmp = writeImage("photo.bmp", 40, 30);
    open(bmp);
    expectRows({{"Type", "RGB True Color (24-bit)"},
                {"Size", "3,654 Bytes"},
                {"Width", "40 Pixels"},
                {"Height", "30 Pixels"},
                {"File Name", bmp.toStdString()},
                {"Format", "Windows BMP"},
                {"Modified", "No"}});
    trigger("menuco25");
    expectRows({{"Type", "Palettized 256-Color (8-bit)"}, {"Modified", "Yes"}});
    trigger("menuco16");
    expectRows({{"Type", "16-Color (4-bit)"}});
    trigger("mnuBW");
    expectRows({{"Type", "Black and White (1-bit)"}});

    const std::pair<const char*, const char*> formats[] = {
        {"a.gif", "Compuserve GIF"}, {"b.png", "PNG"},   {"c.jpg", "JPEG"},
        {"d.tif", "TIFF"},           {"e.tga", "Targa"}, {"f.pcx", "PCX"}};
    for (const auto& [name, format] : formats) {
        SCOPED_TRACE(name);
        platform::BoxAnswer no = platform::BoxAnswer::No;
        if (window->isImageModified()) boxes.answerWith(no);
        open(writeImage(name, 9, 9));
        expectRows({{"Format", format}, {"Modified", "No"}});
    }
}

}  // namespace
}  // namespace pm32::test
