#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <memory>

#include "deco/fif_codec.h"
#include "tests/support/peer_tools.h"
#include "tests/support/temp_dir.h"

namespace pm32::test {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

// Runs the built program through the shell; arguments is shell text.
Outcome picbuf(const std::string& arguments) {
    TempDir dir;
    std::string errors = dir.path("stderr");
    std::string command =
        test::quoted(PICBUF_BINARY) + " " + arguments + " 2>" + test::quoted(errors);
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) return {-1, {}, {}};
    std::string out;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
        out.append(buffer, n);
    int status = pclose(pipe.release());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, readText(errors)};
}

TEST(PicbufBinary, LoadWithoutAFileNameFails) {
    Outcome result = picbuf("Load");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "error 20352: Filename Property is empty.\n  in statement 1: Load\n");
}

TEST(PicbufBinary, StoresAndLoadsABitmapBetweenControls) {
    TempDir dir;
    std::string file = test::quoted(dir.path("sample.bmp"));
    Outcome result =
        picbuf("'Init(24,64,48,0xFF8000)' FileName=" + file + " Store Picbuf2.FileName=" + file +
               " Picbuf2.Load Picbuf2.Xresolution Picbuf2.Yresolution");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Xresolution=64\nYresolution=48\n");
    std::vector<std::uint8_t> bytes = readFile(dir.path("sample.bmp"));
    ASSERT_GE(bytes.size(), 2u);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
}

TEST(PicbufBinary, LoadsFifFilesThroughTheDecoderBesideTheLibrary) {
    TempDir dir;
    std::vector<std::uint8_t> rgb(3 * 64 * 48);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = static_cast<std::uint8_t>(i % 251);
    auto fif = deco::encodeFif(rgb.data(), 64, 48, deco::EncodeSettings{});
    ASSERT_TRUE(fif);
    writeFile(dir.path("photo.fif"), *fif);
    std::string file = test::quoted(dir.path("photo.fif"));
    Outcome result = picbuf("FileName=" + file +
                            " LoadScale=2 Load Xresolution Yresolution ColorDepth"
                            " LoadScale=0 LoadOptions=1 Load ColorDepth");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "Xresolution=256\nYresolution=192\nColorDepth=24\nColorDepth=8\n");
}

TEST(PicbufBinary, KeepGoingReportsEveryFailure) {
    Outcome result = picbuf("--keep-going Load Foo Version");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "Version=1.0.1.13\n");
    EXPECT_EQ(result.err,
              "error 20352: Filename Property is empty.\n"
              "  in statement 1: Load\n"
              "error 0x80020006: Unknown name: Foo\n"
              "  in statement 2: Foo\n");
}

TEST(PicbufBinary, EventsComeInFiringOrder) {
    Outcome result = picbuf("--events 'Init(8,4,4,255)'");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "event Palette\nevent Change\n");
}

TEST(PicbufBinary, DesignModeRefusesRunTimeProperties) {
    Outcome result = picbuf("--design ColorDepth");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "error 394: Property is write-only.\n  in statement 1: ColorDepth\n");
}

TEST(PicbufBinary, BadStatementsAndCommandLinesAreReported) {
    Outcome result = picbuf("'Init(8,4'");
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "picbuf: \"Init(8,4\": missing ')' after the arguments\n");
    result = picbuf("--controls 100 Load");
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("--controls needs a number from 1 to 64"), std::string::npos);
}

TEST(PicbufBinary, PagesRenderWithoutADisplayAndShowOnlyAtDesignTime) {
    TempDir dir;
    Outcome result = picbuf("--design --pages-snapshot " + test::quoted(dir.path("pages")) +
                            " DrawWidth=3 DrawWidth");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "DrawWidth=3\n");
    for (const char* page : {"ZGenPPG", "ZIoPPG", "ZLoadPPG", "ZWritePPG", "ZSelPPG", "ZViewPPG",
                             "ZGdiPPG", "ZTextPPG", "StockFontPage", "StockColorPage"}) {
        std::vector<std::uint8_t> png = readFile(dir.path("pages/" + std::string(page) + ".png"));
        ASSERT_GE(png.size(), 8u) << page;
        EXPECT_EQ(png[1], 'P') << page;
    }
    result = picbuf("--pages DrawWidth=3");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("--pages needs --design"), std::string::npos) << result.err;
}

}  // namespace
}  // namespace pm32::test
