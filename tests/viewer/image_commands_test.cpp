#include <QAction>
#include <QDir>
#include <QFile>
#include <functional>

#include "tests/viewer/viewer_fixture.h"
#include "viewer/image_files.h"

namespace pm32::test {
namespace {

using automation::Variant;
using viewer::Short;

constexpr int kWidth = 20;
constexpr int kHeight = 10;

class ImageCommands : public ViewerTest {
  protected:
    ImageCommands() : path(writeImage("source.bmp", kWidth, kHeight)) { open(path); }

    // Every pixel of the shown image, row by row.
    std::vector<std::int32_t> shownPixels() {
        std::vector<std::int32_t> pixels;
        const QSize size = shownSize();
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) pixels.push_back(shownColor(x, y));
        return pixels;
    }

    // The pixels a control of our own shows after the call on the source.
    std::vector<std::int32_t> referencePixels(const std::function<void(viewer::Picbuf&)>& call) {
        viewer::Picbuf reference;
        EXPECT_EQ(viewer::LoadImage(reference, path, 0, true), 0u);
        call(reference);
        std::vector<std::int32_t> pixels;
        const int width = reference.getInt("Xresolution");
        const int height = reference.getInt("Yresolution");
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(reference.call("GetColor", {Short(x), Short(y)}).toI4());
        return pixels;
    }

    QString path;
};

using Moved = std::function<std::pair<int, int>(int x, int y)>;

struct CommandCase {
    const char* name;
    const char* undoCaption;
    QSize size;
    int depth;
    // Where a pixel of the result comes from in the source, for commands
    // that move pixels; else the call a control makes to get the same result.
    Moved from;
    std::function<void(viewer::Picbuf&)> reference;
};

// Each command changes the shown image as its control method does, names
// itself in the Undo item, marks the image modified, and Undo brings the
// source back exactly.
TEST_F(ImageCommands, EachCommandChangesTheImageAndUndoesExactly) {
    const int w = kWidth;
    const int h = kHeight;
    auto method = [](const char* name, std::vector<Variant> args = {}) {
        return [name, args](viewer::Picbuf& c) { c.call(name, args); };
    };
    const CommandCase cases[] = {
        {"MenuSharpen", "Undo Sharpen", {w, h}, 24, {}, method("Sharpen", {Short(3)})},
        {"MenuSharpMore", "Undo Sharpen More", {w, h}, 24, {}, method("Sharpen", {Short(8)})},
        {"mnuBlur", "Undo Blur", {w, h}, 24, {}, method("Blur")},
        {"MenuSoften", "Undo Soften", {w, h}, 24, {}, method("Soften", {Short(3)})},
        {"MenuSoftenMore", "Undo Soften More", {w, h}, 24, {}, method("Soften", {Short(8)})},
        {"mnuExtract", "Undo Edge", {w, h}, 24, {}, method("ExtractEdges", {Short(1)})},
        {"mnuNegate", "Undo Negate", {w, h}, 24, {}, method("Negate")},
        {"menu90r",
         "Undo Rotation",
         {h, w},
         24,
         [](int x, int y) { return std::pair(y, kHeight - 1 - x); },
         {}},
        {"menu90L",
         "Undo Rotation",
         {h, w},
         24,
         [](int x, int y) { return std::pair(kWidth - 1 - y, x); },
         {}},
        {"menu180",
         "Undo Rotation",
         {w, h},
         24,
         [](int x, int y) { return std::pair(kWidth - 1 - x, kHeight - 1 - y); },
         {}},
        {"menuhorz",
         "Undo Mirror",
         {w, h},
         24,
         [](int x, int y) { return std::pair(kWidth - 1 - x, y); },
         {}},
        {"menuvert",
         "Undo Mirror",
         {w, h},
         24,
         [](int x, int y) { return std::pair(x, kHeight - 1 - y); },
         {}},
        {"mnuBW", "Undo Convert To", {w, h}, 1, {}, {}},
        {"menuco16", "Undo Convert To", {w, h}, 4, {}, {}},
        {"mnuGrayScale", "Undo Convert To", {w, h}, 8, {}, method("GrayScale")},
        {"menuco25", "Undo Convert To", {w, h}, 8, {}, {}},
        {"MenuVGA", "Undo Resize", {640, 480}, 24, {}, {}},
        {"MenuVGAProp", "Undo Resize", {640, 320}, 24, {}, {}},
        {"MenuSVGA", "Undo Resize", {800, 600}, 24, {}, {}},
        {"MenuSVGAProp", "Undo Resize", {800, 400}, 24, {}, {}},
        {"Menu8514", "Undo Resize", {1024, 768}, 24, {}, {}},
        {"Menu8514Prop", "Undo Resize", {1024, 512}, 24, {}, {}},
    };
    const std::vector<std::int32_t> source = shownPixels();
    for (const CommandCase& command : cases) {
        SCOPED_TRACE(command.name);
        trigger(command.name);
        EXPECT_TRUE(boxes.texts.empty()) << boxes.texts.front();
        EXPECT_EQ(shownSize(), command.size);
        EXPECT_EQ(shownDepth(), command.depth);
        EXPECT_EQ(action("MnuUndo")->text().toStdString(), command.undoCaption);
        EXPECT_TRUE(action("MnuUndo")->isEnabled());
        EXPECT_TRUE(window->isImageModified());
        if (command.from) {
            for (int y = 0; y < command.size.height(); ++y)
                for (int x = 0; x < command.size.width(); ++x) {
                    const auto [sx, sy] = command.from(x, y);
                    ASSERT_EQ(shownColor(x, y), OleColor(Pattern(sx, sy))) << x << "," << y;
                }
        }
        if (command.reference) {
            EXPECT_EQ(shownPixels(), referencePixels(command.reference));
        }
        if (!command.from && !command.reference && command.size == QSize(w, h)) {
            EXPECT_NE(shownPixels(), source);
        }

        trigger("MnuUndo");
        EXPECT_EQ(shownSize(), QSize(w, h));
        EXPECT_EQ(shownDepth(), 24);
        EXPECT_EQ(shownPixels(), source);
        EXPECT_EQ(action("MnuUndo")->text().toStdString(), "Undo");
        EXPECT_FALSE(action("MnuUndo")->isEnabled());
    }
}

TEST_F(ImageCommands, GreyAndTrueColourConversionsKeepTheColoursTheyCan) {
    trigger("mnuGrayScale");
    for (int x = 0; x < kWidth; ++x) {
        const std::int32_t grey = shownColor(x, 3);
        EXPECT_EQ(grey & 0xFF, (grey >> 8) & 0xFF);
        EXPECT_EQ(grey & 0xFF, (grey >> 16) & 0xFF);
    }
    const std::vector<std::int32_t> grey = shownPixels();
    EXPECT_FALSE(action("menuco25")->isEnabled());  // already 8 bits
    trigger("mnuTrueColor");
    EXPECT_EQ(shownDepth(), 24);
    EXPECT_EQ(shownPixels(), grey);
    EXPECT_FALSE(action("mnuTrueColor")->isEnabled());
    trigger("mnuBW");
    EXPECT_EQ(shownDepth(), 1);
    for (const char* filter : {"mnuBlur", "MenuSharpen", "MenuSoften", "mnuExtract", "mnuBW"})
        EXPECT_FALSE(action(filter)->isEnabled()) << filter;
    trigger("menuco16");
    EXPECT_EQ(shownDepth(), 4);
    EXPECT_TRUE(boxes.texts.empty());
}

TEST_F(ImageCommands, WithUndoOffNoUndoFileIsWritten) {
    trigger("MnuUndoEnable");
    EXPECT_FALSE(settings->enableUndo());
    EXPECT_FALSE(action("MnuUndoEnable")->isChecked());
    trigger("mnuBlur");
    EXPECT_FALSE(QFile::exists(window->undoStore().path()));
    EXPECT_EQ(action("MnuUndo")->text().toStdString(), "Undo");
    EXPECT_FALSE(action("MnuUndo")->isEnabled());
    trigger("MnuUndoEnable");
    EXPECT_TRUE(settings->enableUndo());
    EXPECT_EQ(settings->text("EnableUndo").toStdString(), "True");
}

TEST_F(ImageCommands, UndoFileIsNamedAndKeptInTheTemporaryFolder) {
    trigger("mnuNegate");
    EXPECT_EQ(window->undoStore().path(), file("~vs0000.tmp"));
    EXPECT_TRUE(QFile::exists(file("~vs0000.tmp")));
}

TEST_F(ImageCommands, AMissingUndoFileIsReportedAndTheImageStays) {
    trigger("mnuNegate");
    const std::int32_t negated = shownColor(4, 4);
    ASSERT_TRUE(QFile::remove(window->undoStore().path()));
    trigger("MnuUndo");
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0],
              "The Undo image has been deleted or is corrupt.  Vistel/32 is not able to undo any "
              "changes which have been made.");
    EXPECT_EQ(boxes.captions[0], "Vistel/32");
    EXPECT_EQ(shownColor(4, 4), negated);
}

// When the undo image cannot be written the user decides: No abandons the
// command, Yes runs it without undo.
TEST_F(ImageCommands, AnUnwritableUndoImageAsksWhetherToProceed) {
    trigger("mnuNegate");  // an undo image exists from here on
    const std::int32_t before = shownColor(4, 4);
    ASSERT_TRUE(QDir().mkpath(window->undoStore().path() + ".new"));
    const std::string question =
        "Unable to create undo image.  There may not be enough disk space available to write a "
        "temporary file. This action will not be undoable.  Proceed?";

    boxes.answerWith(platform::BoxAnswer::No);
    trigger("menuhorz");
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], question);
    EXPECT_EQ(shownColor(4, 4), before);
    EXPECT_EQ(action("MnuUndo")->text().toStdString(), "Undo Negate");

    boxes.answerWith(platform::BoxAnswer::Yes);
    trigger("menuhorz");
    EXPECT_EQ(boxes.texts.size(), 2u);
    EXPECT_EQ(shownColor(kWidth - 1 - 4, 4), before);
    EXPECT_EQ(action("MnuUndo")->text().toStdString(), "Undo");
    EXPECT_FALSE(action("MnuUndo")->isEnabled());
}

TEST_F(ImageCommands, CopyAndPasteGoThroughTheClipboard) {
    trigger("menucopy");
    trigger("mnuNegate");
    boxes.answerWith(platform::BoxAnswer::No);  // do not save the negated image
    trigger("menupast");
    EXPECT_EQ(shownColor(3, 2), OleColor(Pattern(3, 2)));
    EXPECT_EQ(window->currentPath().toStdString(), "(NoName)");
    EXPECT_TRUE(window->isImageModified());
    EXPECT_TRUE(window->windowTitle().startsWith("(NoName)"));
}

}  // namespace
}  // namespace pm32::test
