#include <gtest/gtest.h>

#include "viewer/file_types.h"
#include "viewer/image_information.h"
#include "viewer/print_layout.h"
#include "viewer/resize_proportions.h"
#include "viewer/save_options.h"
#include "viewer/tune_mapping.h"

inline void PrintTo(const QString& text, std::ostream* out) { *out << text.toStdString(); }

namespace pm32::viewer {
namespace {

TEST(SaveOptions, QualityProgressiveAndFormatReachTheControlsProperties) {
    const struct {
        const char* extension;
        int quality;
        bool progressive;
        int format, compression, writeOption;
    } cases[] = {
        {".jpg", 75, false, 7, 75, 0},   {".jpg", 5, true, 7, 5, 1},
        {".jpg", 100, false, 7, 100, 0}, {".jpg", 1, false, 7, 5, 0},
        {".jpg", 250, true, 7, 100, 1},  {".png", 75, true, 10, 0, 1},
        {".png", 40, false, 10, 0, 0},   {".gif", 40, true, 4, 0, 0},
        {".bmp", 90, true, 3, 0, 0},     {".pcx", 90, false, 6, 0, 0},
        {".tga", 90, true, 2, 0, 0},     {".tif", 90, true, 1, 0, 0},
        {".JPG", 60, false, 7, 60, 0},   {".xyz", 60, true, 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.extension);
        const SaveOptions options{c.extension, c.quality, c.progressive};
        EXPECT_EQ(FormatCodeOf(options), c.format);
        EXPECT_EQ(ImageCompressionOf(options), c.compression);
        EXPECT_EQ(WriteOptionOf(options), c.writeOption);
    }
}

TEST(SaveOptions, TypedQualityIsClampedIntoWhatTheControlAccepts) {
    const std::pair<const char*, int> cases[] = {{"75", 75},   {" 90 ", 90}, {"5", 5},
                                                 {"4", 5},     {"0", 5},     {"-20", 5},
                                                 {"100", 100}, {"101", 100}, {"99999999999", 100},
                                                 {"", 75},     {"abc", 75},  {"7.5", 75}};
    for (const auto& [typed, quality] : cases)
        EXPECT_EQ(JpegQualityOfText(typed), quality) << typed;
}

TEST(FileTypes, CaptionsPatternsAndMatching) {
    const std::vector<FileType> reading = FileTypes(true);
    const std::vector<FileType> saving = FileTypes(false);
    ASSERT_EQ(reading.size(), 9u);
    ASSERT_EQ(saving.size(), 9u);
    const char* captions[] = {
        "All Bitmaps",  "Windows Bitmap .BMP", "Compuserve .GIF", "ZSoft .PCX",
        "Targa .TGA",   "Tagged Info .TIF",    "JPEG .JPG",       "Windows Compressed .RLE",
        "Internet .PNG"};
    for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(reading[i].caption, captions[i]);
    EXPECT_EQ(reading[0].pattern, "*.BMP;*.GIF;*.PCX;*.TGA;*.TIF;*.JPG;*.PNG;*.RLE");
    EXPECT_EQ(saving[0].pattern, "*.BMP;*.GIF;*.PCX;*.TGA;*.TIF;*.JPG;*.PNG");
    EXPECT_EQ(reading[7].pattern, "*.RLE");
    EXPECT_TRUE(MatchesType("photo.jpg", reading[0]));
    EXPECT_TRUE(MatchesType("PHOTO.Rle", reading[0]));
    EXPECT_FALSE(MatchesType("photo.rle", saving[0]));
    EXPECT_FALSE(MatchesType("photo.jpg.txt", reading[0]));
    EXPECT_TRUE(MatchesType("a.PNG", reading[8]));
    EXPECT_FALSE(MatchesType("a.png", reading[1]));
}

TEST(PrintLayout, FitScaleAndCentring) {
    // A4 at 300 dots per inch with quarter-inch margins.
    const QRect printable(75, 75, 2330, 3358);
    const struct {
        const char* name;
        QSize image;
        PrintPlacement placement;
        QRect expected;
    } cases[] = {
        {"fit, wide image fills the width, centred",
         {400, 200},
         {true, true, true, 100, {}},
         {75, 75 + (3358 - 1165) / 2, 2330, 1165}},
        {"fit, tall image fills the height",
         {100, 400},
         {true, true, true, 100, {}},
         {75 + (2330 - 840) / 2, 75, 840, 3358}},
        {"fit, at the dragged corner",
         {400, 200},
         {true, false, false, 100, {0, 500}},
         {75, 575, 2330, 1165}},
        {"100 % is 96 image pixels an inch",
         {96, 48},
         {false, false, false, 100, {}},
         {75, 75, 300, 150}},
        {"50 %, centred across only",
         {960, 480},
         {false, true, false, 50, {10, 20}},
         {75 + (2330 - 1500) / 2, 95, 1500, 750}},
        {"a drag beyond the page stops at its edge",
         {96, 96},
         {false, false, false, 100, {5000, -40}},
         {75 + 2330 - 300, 75, 300, 300}},
        {"a rectangle larger than the page moves only to show another part",
         {960, 960},
         {false, false, false, 100, {-300, 100}},
         {75 - 300, 175, 3000, 3000}},
        {"the scale box stays within its range",
         {96, 96},
         {false, false, false, 0, {}},
         {75, 75, 3, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlaceOnPage(printable, c.image, 300, c.placement), c.expected);
    }
}

TEST(PrintLayout, FittingKeepsTheAspectRatioAndScaleFollowsTheWidth) {
    const struct {
        QSize image, area, fitted;
    } fits[] = {{{640, 480}, {1000, 1000}, {1000, 750}},
                {{480, 640}, {1000, 1000}, {750, 1000}},
                {{1, 1}, {500, 300}, {300, 300}},
                {{5000, 10}, {100, 100}, {100, 1}},
                {{0, 10}, {100, 100}, {1, 1}}};
    for (const auto& f : fits) EXPECT_EQ(FitInside(f.image, f.area), f.fitted);
    EXPECT_EQ(ScaledSize({100, 50}, 200, 600), QSize(1250, 625));
    EXPECT_EQ(ScaledSize({30000, 10}, 1000, 1200), QSize(32767, 1250));
    EXPECT_EQ(ScaleOfWidth({96, 10}, 300, 300), 100);
    EXPECT_EQ(ScaleOfWidth({400, 200}, 2330, 300), 186);
}

TEST(ResizeProportions, WidthHeightAndScaleKeepTheAspectRatio) {
    ResizeProportions sizes({640, 480});
    const struct {
        const char* step;
        int value;
        QSize size;
        int scale;
    } steps[] = {
        {"width", 320, {320, 240}, 50},          {"height", 960, {1280, 960}, 200},
        {"scale", 25, {160, 120}, 25},           {"width", 1, {1, 1}, 0},
        {"width", 100000, {32767, 24575}, 5120}, {"height", 0, {1, 1}, 0},
        {"scale", 150, {960, 720}, 150},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(std::string(s.step) + " " + std::to_string(s.value));
        const std::string step = s.step;
        if (step == "width") sizes.setWidth(s.value);
        if (step == "height") sizes.setHeight(s.value);
        if (step == "scale") sizes.setScale(s.value);
        EXPECT_EQ(sizes.size(), s.size);
        if (s.scale > 0) {
            EXPECT_EQ(sizes.scalePercent(), s.scale);
        }
    }
    sizes.setProportional(false);
    sizes.setWidth(100);
    EXPECT_EQ(sizes.size(), QSize(100, 720));
    sizes.setHeight(33);
    EXPECT_EQ(sizes.size(), QSize(100, 33));
    sizes.setProportional(true);
    EXPECT_EQ(sizes.size(), QSize(100, 75));

    ResizeProportions dot({1, 1});
    dot.setScale(5000000);
    EXPECT_EQ(dot.size(), QSize(32767, 32767));
    EXPECT_EQ(dot.scalePercent(), 3276700);
}

TEST(TuneMapping, BarsMapOntoBrightContAndGammaAndAreNeutralAtZero) {
    const struct {
        int position;
        double brightness, contrast, gamma;
    } cases[] = {{0, 0.5, 0.5, 5.0},  {50, 1.0, 1.0, 1.0},  {-50, 0.0, 0.0, 10.0},
                 {40, 0.9, 0.9, 1.0}, {-10, 0.4, 0.4, 6.0}, {25, 0.75, 0.75, 2.5},
                 {90, 1.0, 1.0, 1.0}, {-90, 0.0, 0.0, 10.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        EXPECT_DOUBLE_EQ(BrightnessArgument(c.position), c.brightness);
        EXPECT_DOUBLE_EQ(ContrastArgument(c.position), c.contrast);
        EXPECT_DOUBLE_EQ(GammaArgument(c.position), c.gamma);
    }
    EXPECT_FALSE(ChangesBrightCont({0, 0, 7}));
    EXPECT_TRUE(ChangesBrightCont({0, 3, 0}));
    EXPECT_FALSE(ChangesGamma({4, 4, 0}));
    EXPECT_TRUE(ChangesGamma({0, 0, -1}));

    const std::pair<const char*, TunePositions> spots[] = {{"10,-20,30", {10, -20, 30}},
                                                           {" 1 , 2 , 3 ", {1, 2, 3}},
                                                           {"99,-99,99", {50, -50, 40}},
                                                           {"", {}},
                                                           {"1,2", {}},
                                                           {"a,b,c", {}},
                                                           {"1,2,3,4", {}}};
    for (const auto& [text, positions] : spots) EXPECT_EQ(TunePositionsOf(text), positions) << text;
    EXPECT_EQ(TunePositionsOf(TuneSpotText({-5, 6, -7})), (TunePositions{-5, 6, -7}));
}

TEST(ImageInformation, RowTexts) {
    const std::pair<int, const char*> types[] = {{1, "Black and White (1-bit)"},
                                                 {4, "16-Color (4-bit)"},
                                                 {8, "Palettized 256-Color (8-bit)"},
                                                 {24, "RGB True Color (24-bit)"},
                                                 {16, ""}};
    for (const auto& [depth, text] : types) EXPECT_EQ(ImageTypeText(depth), text);
    const std::pair<std::int64_t, const char*> sizes[] = {{0, "0 Bytes"},
                                                          {7, "7 Bytes"},
                                                          {999, "999 Bytes"},
                                                          {1000, "1,000 Bytes"},
                                                          {65078, "65,078 Bytes"},
                                                          {123456, "123,456 Bytes"},
                                                          {1234567, "1,234,567 Bytes"},
                                                          {9876543210, "9,876,543,210 Bytes"}};
    for (const auto& [bytes, text] : sizes) EXPECT_EQ(FileSizeText(bytes), text);
    EXPECT_EQ(PixelsText(640), "640 Pixels");
    const std::pair<int, const char*> formats[] = {{1, "TIFF"},
                                                   {2, "Targa"},
                                                   {3, "Windows BMP"},
                                                   {4, "Compuserve GIF"},
                                                   {5, "Windows DIB"},
                                                   {6, "PCX"},
                                                   {7, "JPEG"},
                                                   {10, "PNG"},
                                                   {0, ""},
                                                   {8, ""}};
    for (const auto& [code, text] : formats) EXPECT_EQ(FormatText(code), text);
    EXPECT_EQ(ModifiedText(true), "Yes");
    EXPECT_EQ(ModifiedText(false), "No");
    const std::pair<const char*, int> names[] = {{"/a/b.BMP", 3}, {"x.rle", 3},  {"x.dib", 5},
                                                 {"x.jpeg", 7},   {"x.tiff", 1}, {"x.png", 10},
                                                 {"x.txt", 0},    {"noext", 0}};
    for (const auto& [name, code] : names) EXPECT_EQ(FormatCodeOfName(name), code) << name;
}

}  // namespace
}  // namespace pm32::viewer
