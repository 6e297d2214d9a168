#include "engine/string_table.h"

#include <gtest/gtest.h>

namespace pm32 {
namespace {

TEST(Resources, MessagesAreKeptExactly) {
    EXPECT_EQ(LoadResourceString(20100), "The specified file does not exist");
    EXPECT_EQ(LoadResourceString(20136),
              "The image could not be displayed.  You may be low on memory.");
    EXPECT_EQ(LoadResourceString(20346), "hDib property is write only");
    EXPECT_EQ(LoadResourceString(20397), "type of region to create is invalid");
    EXPECT_EQ(LoadResourceString(20340), "Open file failure:");
}

TEST(Resources, SkippedNumbersHaveNoText) {
    for (unsigned id : {20099u, 20169u, 20172u, 20196u, 20332u, 20374u, 20393u, 20394u, 20398u,
                        20399u, 9021u, 25100u})
        EXPECT_FALSE(LoadResourceString(id).has_value()) << id;
}

TEST(Resources, EveryEngineAndControlRangeIsCovered) {
    int engine = 0, control = 0;
    for (unsigned id = 20100; id <= 20195; ++id) engine += LoadResourceString(id).has_value();
    for (unsigned id = 20300; id <= 20399; ++id) control += LoadResourceString(id).has_value();
    EXPECT_EQ(engine, 92);
    EXPECT_EQ(control, 94);
}

}  // namespace
}  // namespace pm32
