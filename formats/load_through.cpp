#include "formats/load_through.h"

namespace pm32 {

void LoadThrough(ZDib& image, const std::string& path,
                 const std::function<ErrorNumber(EngineFile& file)>& decode) {
    image.Reset();
    EngineFile file;
    if (!file.OpenRead(path)) {
        image.error = err::FileMissing;
        return;
    }
    if (ErrorNumber result = decode(file); result != 0) {
        image.Reset();
        image.error = result;
    }
}

}  // namespace pm32
