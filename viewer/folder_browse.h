#pragma once

#include <QString>

namespace pm32::viewer {

// The image beside the file in its folder, in name order (numbers inside
// names compare by value, case does not matter): step +1 for the next, -1
// for the previous. Empty at either end or when the folder holds no other
// image.
QString NeighbourImage(const QString& path, int step);

}  // namespace pm32::viewer
