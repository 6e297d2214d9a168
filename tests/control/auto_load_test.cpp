#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "control/design_paint.h"
#include "control/zpm32.h"
#include "engine/errors.h"
#include "platform/global_memory.h"
#include "tests/control/test_site.h"
#include "tests/support/temp_dir.h"

namespace pm32::test {
namespace {

constexpr std::int32_t kRed = 0x0000FF;   // 0x00BBGGRR
constexpr std::int32_t kBlue = 0xFF0000;  // 0x00BBGGRR
constexpr std::int32_t kGreenBack = 0x00FF00;

// A design-time control whose form keeps its image (AutoLoad 2) from path.
std::string savedFormEmbedding(const std::string& path) {
    PlacedControl design(false);
    design.put("FileName", Variant::String(path));
    design.put("AutoLoad", i2(2));
    return design.control->SaveProperties();
}

TEST(AutoLoad, PlacementOfTheDesignTimeImage) {
    struct Case {
        QSize bounds, image;
        bool autoSize, autoScale;
        QRect destination, source;
    };
    const Case cases[] = {
        // Unscaled: cut at the window's edges, the image's top rows kept.
        {{100, 50}, {40, 80}, false, false, {0, 0, 40, 50}, {0, 0, 40, 50}},
        {{30, 90}, {40, 80}, false, false, {0, 0, 30, 80}, {0, 0, 30, 80}},
        // AutoSize: the nearer side fits (dh >= dw: to the height).
        {{100, 50}, {40, 80}, true, false, {0, 0, 100, 200}, {0, 0, 40, 80}},
        {{100, 50}, {90, 10}, true, false, {0, 0, 450, 50}, {0, 0, 90, 10}},
        // AutoScale: the other side.
        {{100, 50}, {40, 80}, false, true, {0, 0, 25, 50}, {0, 0, 40, 80}},
        {{100, 50}, {90, 10}, false, true, {0, 0, 100, 11}, {0, 0, 90, 10}},
        // AutoSize wins over AutoScale.
        {{100, 50}, {40, 80}, true, true, {0, 0, 100, 200}, {0, 0, 40, 80}},
    };
    for (const Case& c : cases) {
        const control::DesignPlacement placed =
            control::PlaceDesignImage(c.bounds, c.image, c.autoSize, c.autoScale);
        EXPECT_EQ(placed.destination, c.destination)
            << c.image.width() << "x" << c.image.height() << " size " << c.autoSize << " scale "
            << c.autoScale;
        EXPECT_EQ(placed.source, c.source);
    }
}

TEST(AutoLoad, TheDesignTimeImageFollowsFileNameAndAutoLoad) {
    TempDir dir;
    const std::string first = dir.path("first.bmp");
    const std::string second = dir.path("second.bmp");
    StoreOneColorImage(first, 24, 8, 6, kRed);
    StoreOneColorImage(second, 24, 5, 4, kBlue);
    PlacedControl design(QSize(60, 40), false);
    design.put("BackColor", i4(kGreenBack));
    const control::DesignImageCache& cache = design.control->DesignImage();

    design.put("FileName", Variant::String(first));
    EXPECT_EQ(cache.Image(), 0u) << "AutoLoad 0 keeps no image";
    design.put("AutoLoad", i2(1));
    const HGLOBAL loaded = cache.Image();
    ASSERT_NE(loaded, 0u);
    EXPECT_EQ(cache.Name(), first);
    bool ok = false;
    QImage shot = design.site->window()->Snapshot(&ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(shot.pixel(2, 2) & 0xFFFFFF, 0xFF0000u) << "the image at the top-left corner";
    EXPECT_EQ(shot.pixel(30, 20) & 0xFFFFFF, 0x00FF00u) << "BackColor around it";

    // The same name again does not read the file again.
    StoreOneColorImage(first, 24, 3, 3, kBlue);
    design.put("FileName", Variant::String(first));
    EXPECT_EQ(cache.Image(), loaded);

    // A file that cannot be read reports its error and keeps the cache.
    EXPECT_THROW(design.put("FileName", Variant::String(dir.path("missing.bmp"))),
                 automation::AutomationError);
    EXPECT_EQ(cache.Image(), loaded);
    EXPECT_EQ(cache.Name(), first);

    design.put("FileName", Variant::String(second));
    EXPECT_NE(cache.Image(), 0u);
    EXPECT_EQ(cache.Name(), second);

    design.put("AutoLoad", i2(0));
    EXPECT_EQ(cache.Image(), 0u);
    EXPECT_EQ(cache.Name(), "");
    shot = design.site->window()->Snapshot(&ok);
    EXPECT_EQ(shot.pixel(2, 2) & 0xFFFFFF, 0x00FF00u) << "only the background";
}

TEST(AutoLoad, DesignTimeAutoSizeTakesTheImageSize) {
    TempDir dir;
    StoreOneColorImage(dir.path("a.bmp"), 24, 33, 21, kRed);
    PlacedControl design(QSize(60, 40), false);
    design.put("AutoSize", Variant::Bool(true));
    design.put("FileName", Variant::String(dir.path("a.bmp")));
    design.put("AutoLoad", i2(1));
    EXPECT_EQ(design.site->window()->ClientSize(), QSize(33, 21));
}

TEST(AutoLoad, SavedFormsBringTheirImageAtRunTime) {
    TempDir dir;
    const std::string path = dir.path("a.bmp");
    StoreOneColorImage(path, 24, 7, 5, kBlue);

    // AutoLoad 1 loads the file when the form starts.
    PlacedControl design(false);
    design.put("FileName", Variant::String(path));
    design.put("AutoLoad", i2(1));
    const std::string loadsFile = design.control->SaveProperties();
    EXPECT_EQ(loadsFile.find("AutoLoadEmbed="), std::string::npos);
    PlacedControl running;
    running.control->LoadProperties(loadsFile);
    EXPECT_EQ(running.get("Xresolution").toI4(), 7);

    // AutoLoad 2 carries the packed image, shown even when the file is gone.
    const std::string embeds = savedFormEmbedding(path);
    EXPECT_NE(embeds.find("AutoLoadEmbed="), std::string::npos);
    std::filesystem::remove(path);
    PlacedControl shown;
    shown.control->LoadProperties(embeds);
    EXPECT_EQ(shown.get("Xresolution").toI4(), 7);
    EXPECT_EQ(shown.get("Yresolution").toI4(), 5);
    ASSERT_NE(shown.control->Image(), nullptr);
    platform::Locked pixels(shown.control->Image()->handle);
    ASSERT_TRUE(pixels);
    EXPECT_EQ(pixels.data()[40], 0xFF) << "blue, in blue-green-red order after the header";
    EXPECT_EQ(pixels.data()[42], 0x00);

    // Designing that form again without its file, and saving it, keeps the image.
    PlacedControl redesign(false);
    redesign.control->LoadProperties(embeds);
    EXPECT_EQ(redesign.control->DesignImage().Image(), 0u);
    EXPECT_NE(redesign.control->SaveProperties().find("AutoLoadEmbed="), std::string::npos);
}

TEST(AutoLoad, ADamagedEmbeddedImageIsReportedAndNothingShows) {
    TempDir dir;
    StoreOneColorImage(dir.path("a.bmp"), 24, 4, 4, kRed);
    std::string form = savedFormEmbedding(dir.path("a.bmp"));
    const std::size_t at = form.find("AutoLoadEmbed=") + 14;
    for (const std::string damage : {"AAAA", "!!", "AQAAAA=="}) {
        std::string damaged = form;
        damaged.replace(at, damaged.find('\n', at) - at, damage);
        PlacedControl running;
        running.control->LoadProperties(damaged);
        EXPECT_EQ(running.control->Image(), nullptr) << damage;
        EXPECT_EQ(running.control->ErrorNumber(), err::BadFile) << damage;
    }
}

}  // namespace
}  // namespace pm32::test
