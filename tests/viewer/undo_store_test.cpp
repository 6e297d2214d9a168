#include "viewer/undo_store.h"

#include <gtest/gtest.h>

#include <QFile>

#include "tests/support/temp_dir.h"
#include "tests/support/test_dibs.h"

namespace pm32::viewer {
namespace {

// A second running viewer must not overwrite the first one's undo image, and
// each takes its files away when it goes.
TEST(UndoStore, EachViewerHasItsOwnUndoFile) {
    test::TempDir dir;
    const QString folder = QString::fromStdString(dir.path(""));
    auto first = std::make_unique<UndoStore>(folder);
    auto second = std::make_unique<UndoStore>(folder);
    EXPECT_TRUE(first->path().endsWith("/~vs0000.tmp"));
    EXPECT_TRUE(second->path().endsWith("/~vs0001.tmp"));

    Picbuf shown;
    shown.call("Init", {Short(24), Short(4), Short(3), Long(0x00336699)});
    ASSERT_TRUE(first->stage(shown));
    EXPECT_FALSE(first->available());
    first->commit("Undo Blur");
    EXPECT_TRUE(first->available());
    EXPECT_EQ(first->caption().toStdString(), "Undo Blur");
    ASSERT_TRUE(QFile::exists(first->path()));

    shown.call("Init", {Short(8), Short(9), Short(9), Long(0)});
    ASSERT_TRUE(first->restore(shown));
    EXPECT_EQ(shown.getInt("Xresolution"), 4);
    EXPECT_EQ(shown.getInt("ColorDepth"), 24);
    EXPECT_EQ(shown.call("GetColor", {Short(1), Short(1)}).toI4(), 0x00336699);
    EXPECT_FALSE(first->available());
    EXPECT_EQ(first->caption().toStdString(), "Undo");

    const QString path = first->path();
    first.reset();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_FALSE(QFile::exists(path + ".lock"));
    // The number is free again for the next viewer.
    EXPECT_TRUE(UndoStore(folder).path().endsWith("/~vs0000.tmp"));
}

}  // namespace
}  // namespace pm32::viewer
