#include "platform/window/virtual_keys.h"

#include <gtest/gtest.h>

#include <Qt>

namespace pm32::platform {
namespace {

TEST(VirtualKeys, QtKeysBecomeTheCodesOfTheStockKeyEvents) {
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_A), 0x41);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Z), 0x5A);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_0), 0x30);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F1), 0x70);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_F12), 0x7B);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Left), 0x25);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Down), 0x28);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Return), 0x0D);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Enter), 0x0D);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Escape), 0x1B);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Delete), 0x2E);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Shift), 0x10);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Control), 0x11);
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_Eacute), 0) << "no virtual key of its own";
    EXPECT_EQ(VirtualKeyFromQt(Qt::Key_VolumeUp), 0);
}

}  // namespace
}  // namespace pm32::platform
