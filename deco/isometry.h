#pragma once

#include <array>

namespace deco {

// The eight symmetries of a square block. Bit 0 swaps the axes, then bit 1
// mirrors across the vertical axis and bit 2 across the horizontal one. A
// block B seen through isometry t is O[y][x] = B[v][u] with (u, v) from sourceOf.
inline constexpr int kIsometries = 8;

constexpr void sourceOf(int isometry, int size, int x, int y, int& u, int& v) {
    u = x;
    v = y;
    if (isometry & 1) {
        u = y;
        v = x;
    }
    if (isometry & 2) u = size - 1 - u;
    if (isometry & 4) v = size - 1 - v;
}

// The isometry that shows a block as `first` and then `second` would.
constexpr int composeIsometries(int first, int second) {
    constexpr int n = 3;
    for (int candidate = 0; candidate < kIsometries; ++candidate) {
        bool same = true;
        for (int y = 0; y < n && same; ++y)
            for (int x = 0; x < n && same; ++x) {
                int u2 = 0, v2 = 0, u1 = 0, v1 = 0, uc = 0, vc = 0;
                sourceOf(second, n, x, y, u2, v2);
                sourceOf(first, n, u2, v2, u1, v1);
                sourceOf(candidate, n, x, y, uc, vc);
                same = u1 == uc && v1 == vc;
            }
        if (same) return candidate;
    }
    return 0;
}

constexpr int inverseIsometry(int isometry) {
    for (int candidate = 0; candidate < kIsometries; ++candidate)
        if (composeIsometries(isometry, candidate) == 0) return candidate;
    return 0;
}

}  // namespace deco
