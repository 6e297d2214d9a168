#include "viewer/folder_browse.h"

#include <gtest/gtest.h>

#include <QFileInfo>

#include "tests/support/temp_dir.h"
#include "viewer/image_files.h"

namespace pm32 {
namespace {

// Stepping through a folder visits the images the viewer reads, in the order a
// file manager shows them, and nothing else.
TEST(FolderBrowse, StepsThroughTheFoldersImagesInNameOrder) {
    test::TempDir folder;
    for (const char* name : {"img10.png", "IMG2.bmp", "img1.JPG", "notes.txt", "photo.jfif",
                             "img02b.gif", "scan.TIFF", "raw.cr2"})
        test::writeText(folder.path(name), "");
    struct Step {
        const char* from;
        int step;
        const char* to;  // "" for none
    };
    for (const Step& c : {Step{"img1.JPG", 1, "IMG2.bmp"}, Step{"IMG2.bmp", 1, "img02b.gif"},
                          Step{"img02b.gif", 1, "img10.png"}, Step{"img10.png", 1, "photo.jfif"},
                          Step{"photo.jfif", 1, "scan.TIFF"}, Step{"scan.TIFF", 1, ""},
                          Step{"img1.JPG", -1, ""}, Step{"img10.png", -1, "img02b.gif"},
                          // A file shown though it is no image still has neighbours.
                          Step{"notes.txt", 1, "photo.jfif"}, Step{"raw.cr2", -1, "photo.jfif"}}) {
        SCOPED_TRACE(std::string(c.from) + " " + std::to_string(c.step));
        const QString next =
            viewer::NeighbourImage(QString::fromStdString(folder.path(c.from)), c.step);
        EXPECT_EQ(QFileInfo(next).fileName().toStdString(), c.to);
    }
    EXPECT_EQ(viewer::FormatOfPath("photo.JFIF"), viewer::kJpegFormat);
    EXPECT_EQ(viewer::FormatOfPath("photo.png"), viewer::kAnyFormat);
}

}  // namespace
}  // namespace pm32
