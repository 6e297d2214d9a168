#include "color/map_index.h"

#include <array>

#include "color/index_translation.h"
#include "engine/dib_layout.h"

namespace pm32 {

ErrorNumber MapIndexInPlace(HGLOBAL handle, unsigned from, unsigned to) {
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    std::uint32_t tableSize = fullTableSize(image.depth);
    if (from >= tableSize || to >= tableSize) return err::BadDepth;
    std::array<std::uint8_t, 256> indexMap{};
    for (std::size_t i = 0; i < indexMap.size(); ++i) indexMap[i] = static_cast<std::uint8_t>(i);
    indexMap[from] = static_cast<std::uint8_t>(to);
    TranslateIndices(image.BuildRowTable(), image.width, image.depth, indexMap);
    image.CommitRowTable();
    return 0;
}

}  // namespace pm32
