#include "formats/load_through.h"

namespace pm32 {

void LoadWhole(ZDib& image, const std::function<ErrorNumber()>& decode) {
    image.Reset();
    if (ErrorNumber result = decode(); result != 0) {
        image.Reset();
        image.error = result;
    }
}

void LoadThrough(ZDib& image, const std::string& path,
                 const std::function<ErrorNumber(EngineFile& file)>& decode) {
    LoadWhole(image, [&] {
        EngineFile file;
        return file.OpenRead(path) ? decode(file) : err::FileMissing;
    });
}

}  // namespace pm32
