#include "process/filter_dib.h"

#include <array>

#include "color/convert_depth.h"
#include "process/filter_paths.h"

namespace pm32 {
namespace {

// An owned DIB record over a block made by an engine operation.
ErrorNumber adopt(HGLOBAL handle, ZDib& record) {
    record.Attach(handle, true, false, DepthRule::Any);
    return record.error;
}

ErrorNumber filterTrueColor(ZDib& unfiltered, const FilterKernel& kernel, HGLOBAL& result) {
    HGLOBAL copy = 0;
    if (ErrorNumber n = DuplicateDib(unfiltered.handle, copy); n != 0) return n;
    ZDib filtered;
    if (ErrorNumber n = adopt(copy, filtered); n != 0) return n;
    auto in = unfiltered.BuildRowTable();
    auto out = filtered.BuildRowTable();
    if (in.empty() || out.empty()) return err::InvalidPicture;
    const TrueColorRows source{in, unfiltered.width};
    const TrueColorRows target{out, filtered.width};
    if (TakesFastPath(kernel))
        FilterFast(source, target, kernel);
    else
        FilterGeneral(source, target, kernel);
    unfiltered.DiscardRowTable();
    filtered.CommitRowTable();
    result = filtered.Release();
    return 0;
}

// Filters a 24-bit copy and dithers the result back onto the image's own
// colour table, so depth and table stay.
ErrorNumber filterPaletteImage(ZDib& image, const FilterKernel& kernel, HGLOBAL& result) {
    if (image.width < 3 || image.height < 3) return DuplicateDib(image.handle, result);
    HGLOBAL wide = 0;
    if (ErrorNumber n = ConvertDepth(image.handle, 24, {}, false, false, wide); n != 0) return n;
    ZDib working;
    if (ErrorNumber n = adopt(wide, working); n != 0) return n;
    HGLOBAL filteredHandle = 0;
    if (ErrorNumber n = filterTrueColor(working, kernel, filteredHandle); n != 0) return n;
    ZDib filtered;
    if (ErrorNumber n = adopt(filteredHandle, filtered); n != 0) return n;
    std::array<PALETTEENTRY, 256> table{};
    std::size_t count = image.GetPalette(table);
    return ConvertDepth(filtered.handle, image.depth, std::span(table.data(), count), true, false,
                        result);
}

}  // namespace

ErrorNumber FilterDib(HGLOBAL handle, const FilterKernel& kernel, HGLOBAL& result) {
    result = 0;
    ZDib image;
    image.Attach(handle, false, false, DepthRule::Any);
    if (image.error != 0) return image.error;
    if (image.depth == 1) return err::BadDepth;
    return image.depth == 24 ? filterTrueColor(image, kernel, result)
                             : filterPaletteImage(image, kernel, result);
}

}  // namespace pm32
