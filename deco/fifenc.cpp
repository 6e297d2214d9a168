// fifenc: makes FIF files from any image the toolkit reads.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "deco/fif_codec.h"
#include "deco/picture_pixels.h"

namespace {

constexpr const char* kUsage =
    "usage: fifenc [-q QUALITY] [-t NAME.ftt] [-n] INPUT OUTPUT.fif\n"
    "  -q QUALITY  1 (smallest file) to 100 (best picture), default 75\n"
    "  -t NAME     also write the contrast table NAME beside OUTPUT and make the\n"
    "              FIF need it (a plain file name; decoders look for it in the\n"
    "              current folder)\n"
    "  -n          leave the picture's size out of the file, so readers must ask\n"
    "              for a size\n";

bool writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

std::string besides(const std::string& path, const std::string& name) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? name : path.substr(0, slash + 1) + name;
}

}  // namespace

int main(int argc, char** argv) {
    deco::EncodeSettings settings;
    std::string input, output;
    for (int i = 1; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument == "-q" && i + 1 < argc) {
            settings.quality = std::atoi(argv[++i]);
        } else if (argument == "-t" && i + 1 < argc) {
            settings.tableName = argv[++i];
        } else if (argument == "-n") {
            settings.sizeUnknown = true;
        } else if (argument == "-h" || argument == "--help") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (input.empty()) {
            input = argument;
        } else if (output.empty()) {
            output = argument;
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (output.empty() || settings.quality < 1 || settings.quality > 100 ||
        (!settings.tableName.empty() && !deco::isPlainTableName(settings.tableName))) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    deco::RgbPicture picture;
    if (std::uint16_t error = deco::readPicture(input, picture)) {
        std::fprintf(stderr, "fifenc: cannot read %s (error %u)\n", input.c_str(), error);
        return 1;
    }
    if (!settings.tableName.empty()) settings.contrast = deco::positiveContrastTable();
    auto started = std::chrono::steady_clock::now();
    auto fif = deco::encodeFif(picture.rgb.data(), picture.width, picture.height, settings);
    std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - started;
    if (!fif) {
        std::fprintf(stderr, "fifenc: %s is too large to code\n", input.c_str());
        return 1;
    }
    if (!settings.tableName.empty() && !writeFile(besides(output, settings.tableName),
                                                  deco::writeContrastTable(settings.contrast))) {
        std::fprintf(stderr, "fifenc: cannot write %s\n", settings.tableName.c_str());
        return 1;
    }
    if (!writeFile(output, *fif)) {
        std::fprintf(stderr, "fifenc: cannot write %s\n", output.c_str());
        return 1;
    }
    double megapixels = double(picture.width) * picture.height / 1e6;
    std::printf("%s: %dx%d, %zu bytes (%.1f:1), %.2f MP/s\n", output.c_str(), picture.width,
                picture.height, fif->size(),
                3.0 * picture.width * picture.height / double(fif->size()),
                megapixels / seconds.count());
    return 0;
}
