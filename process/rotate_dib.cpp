#include "process/rotate_dib.h"

#include "engine/errors.h"
#include "process/byte_pixels.h"
#include "process/pixel_moves.h"

namespace pm32 {

int NormalizedAngle(int degrees) {
    int angle = degrees;
    if (angle >= 361) angle = (angle - 1) % 360 + 1;
    if (angle < 0) angle = 359 - (359 - angle) % 360;
    return angle == 360 ? 0 : angle;
}

ErrorNumber RotateDib(HGLOBAL image, int degrees, std::uint32_t background, HGLOBAL& result) {
    result = 0;
    const int angle = NormalizedAngle(degrees);
    if (angle == 0) return err::BadRotationAngle;
    return MoveBytePixels(
        image,
        [&](ZDib& source, HGLOBAL& moved) {
            return angle % 90 == 0 ? TurnQuarters(source, angle, moved)
                                   : TurnAnyAngle(source, angle, background, moved);
        },
        result);
}

ErrorNumber MirrorDib(HGLOBAL image, bool horizontal, bool vertical, HGLOBAL& result) {
    result = 0;
    if (!horizontal && !vertical) return err::NoManipulation;
    return MoveBytePixels(
        image,
        [&](ZDib& source, HGLOBAL& moved) {
            return MirrorPixels(source, horizontal, vertical, moved);
        },
        result);
}

}  // namespace pm32
