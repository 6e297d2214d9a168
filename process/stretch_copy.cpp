#include "process/stretch_copy.h"

#include <array>

#include "engine/errors.h"
#include "platform/profile.h"
#include "process/stretch_passes.h"

namespace pm32 {
namespace {

// The profile can turn the colour-table copy off with a negative value; read
// once for the life of the process.
bool copiesColorTable() {
    static const bool copies = platform::GetProfileInt("Pixmill", "Palette", 1) >= 0;
    return copies;
}

void copyColorTable(const ZDib& from, ZDib& into) {
    std::array<PALETTEENTRY, 256> table{};
    std::size_t count = from.GetPalette(table);
    into.SetPalette(std::span(table.data(), count), false);
}

ErrorNumber stretchRows(ZDib& from, const PictureRect& sourceRect, ZDib& into,
                        const PictureRect& destinationRect, bool smooth) {
    auto in = from.BuildRowTable();
    auto out = into.BuildRowTable();
    if (in.empty() || out.empty()) return err::InvalidPicture;
    const RectRows source{in, sourceRect};
    const RectRows destination{out, destinationRect};
    const bool sameSize = sourceRect.Width() == destinationRect.Width() &&
                          sourceRect.Height() == destinationRect.Height();
    ErrorNumber n = smooth && from.depth == 24 && !sameSize
                        ? SmoothStretch(source, destination)
                        : NearestStretch(source, destination, from.depth);
    from.DiscardRowTable();
    into.CommitRowTable();
    return n;
}

}  // namespace

ErrorNumber StretchCopy(HGLOBAL source, const PictureRect& sourceRect, HGLOBAL destination,
                        const PictureRect& destinationRect, bool smooth) {
    if (source == 0 || destination == 0) return err::InvalidPicture;
    ZDib into;
    into.Attach(destination, false, false, DepthRule::Any);
    if (into.error != 0) return into.error;
    // Reading and writing one block at once would read pixels already written.
    HGLOBAL readable = source;
    ZDib from;
    if (source == destination) {
        if (ErrorNumber n = DuplicateDib(source, readable); n != 0) return n;
        from.Attach(readable, true, false, DepthRule::Any);
    } else {
        from.Attach(readable, false, false, DepthRule::Any);
    }
    if (from.error != 0) return from.error;

    if (from.depth != into.depth) return err::DepthMismatch;
    if (!LiesWithin(sourceRect, from.width, from.height) ||
        !LiesWithin(destinationRect, into.width, into.height))
        return err::BadArea;
    if (copiesColorTable()) copyColorTable(from, into);
    return stretchRows(from, sourceRect, into, destinationRect, smooth);
}

}  // namespace pm32
