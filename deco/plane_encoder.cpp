#include "deco/plane_encoder.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include "deco/isometry.h"

namespace deco {
namespace {

// Lattices are thinned until a range size has at most this many domains.
constexpr std::uint32_t kMaxDomains = 1u << 12;
// Blocks are classed by how their quadrants order by brightness (3 classes
// once turned to a canonical orientation) and by variance (24 orders).
constexpr int kClasses = 3 * 24;
// A class with fewer domains than this also searches its brightness siblings.
constexpr std::size_t kFewDomains = 16;
// How many times its allowed error a block may hold and still be searched for at its size.
constexpr float kHopeless = 12.0f;

struct Block {
    std::vector<float> canonical;  // the block seen through its canonical isometry
    float mean = 0;
    float variance = 0;  // sum of squared deviations
    int isometry = 0;
    int cls = 0;
};

struct Domain {
    int x = 0;
    int y = 0;
    Block block;
};

int orderIndex(const std::array<float, 4>& values) {
    std::array<int, 4> order{0, 1, 2, 3};
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return values[a] > values[b]; });
    // Lehmer code of the permutation, 0 to 23.
    int index = 0;
    for (int i = 0; i < 4; ++i) {
        int smaller = 0;
        for (int j = i + 1; j < 4; ++j) smaller += order[j] < order[i] ? 1 : 0;
        index = index * (4 - i) + smaller;
    }
    return index;
}

std::array<float, 4> viewQuadrants(const std::array<float, 4>& q, int isometry) {
    std::array<float, 4> out{};
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            int u = 0, v = 0;
            sourceOf(isometry, 2, x, y, u, v);
            out[y * 2 + x] = q[v * 2 + u];
        }
    return out;
}

// Fills canonical view, class and statistics of an n x n block.
void classify(const std::vector<float>& pixels, int n, Block& block) {
    std::array<float, 4> sums{}, squares{};
    int half = n / 2;
    double total = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            float p = pixels[y * n + x];
            int q = (y >= half ? 2 : 0) + (x >= half ? 1 : 0);
            sums[q] += p;
            squares[q] += p * p;
            total += p;
        }
    block.mean = static_cast<float>(total / (n * n));
    std::array<float, 4> variances{};
    float quarter = static_cast<float>(half * half);
    for (int q = 0; q < 4; ++q) variances[q] = squares[q] - sums[q] * sums[q] / quarter;
    block.isometry = 0;
    for (int t = 0; t < kIsometries; ++t) {
        auto v = viewQuadrants(sums, t);
        if (v[0] >= v[1] && v[0] >= v[2] && v[0] >= v[3] && v[1] >= v[2]) {
            block.isometry = t;
            break;
        }
    }
    auto b = viewQuadrants(sums, block.isometry);
    int brightness = b[2] >= b[3] ? 0 : b[1] >= b[3] ? 1 : 2;
    block.cls = brightness * 24 + orderIndex(viewQuadrants(variances, block.isometry));
    block.canonical.resize(pixels.size());
    double variance = 0;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            int u = 0, v = 0;
            sourceOf(block.isometry, n, x, y, u, v);
            float d = pixels[v * n + u] - block.mean;
            block.canonical[y * n + x] = d;
            variance += static_cast<double>(d) * d;
        }
    block.variance = static_cast<float>(variance);
}

class PlaneEncoder {
  public:
    PlaneEncoder(const std::uint8_t* samples, int width, int height, int stride, double maxError,
                 const ContrastTable& contrast)
        : maxError_(maxError), contrast_(contrast) {
        code_.geometry = planeGeometry(width, height);
        const PlaneGeometry& g = code_.geometry;
        plane_.resize(static_cast<std::size_t>(g.paddedWidth) * g.paddedHeight);
        for (int y = 0; y < g.paddedHeight; ++y)
            for (int x = 0; x < g.paddedWidth; ++x)
                plane_[static_cast<std::size_t>(y) * g.paddedWidth + x] =
                    samples[static_cast<std::size_t>(std::min(y, height - 1)) * stride +
                            std::min(x, width - 1)];
        buildCodeLookup();
        for (int i = 0; i < kBlockSizes; ++i) buildPool(i);
    }

    PlaneCode run() {
        const PlaneGeometry& g = code_.geometry;
        for (int y = 0; y < g.paddedHeight; y += kTopBlock)
            for (int x = 0; x < g.paddedWidth; x += kTopBlock) encodeNode(x, y, kTopBlock);
        return std::move(code_);
    }

  private:
    struct Pool {
        DomainLattice lattice;
        std::vector<Domain> domains;
        std::array<std::vector<std::uint32_t>, kClasses> byClass;
    };

    float at(int x, int y) const {
        return plane_[static_cast<std::size_t>(y) * code_.geometry.paddedWidth + x];
    }

    void buildPool(int sizeIndex) {
        int n = kTopBlock >> sizeIndex;
        int shift = 0;
        while (domainLattice(code_.geometry, n, shift).count() > kMaxDomains) ++shift;
        code_.latticeShift[sizeIndex] = static_cast<std::uint8_t>(shift);
        Pool& pool = pools_[sizeIndex];
        pool.lattice = domainLattice(code_.geometry, n, shift);
        pool.domains.reserve(pool.lattice.count());
        std::vector<float> shrunk(static_cast<std::size_t>(n) * n);
        for (std::uint32_t j = 0; j < pool.lattice.countY; ++j)
            for (std::uint32_t i = 0; i < pool.lattice.countX; ++i) {
                Domain domain;
                domain.x = static_cast<int>(i) * pool.lattice.step;
                domain.y = static_cast<int>(j) * pool.lattice.step;
                for (int y = 0; y < n; ++y)
                    for (int x = 0; x < n; ++x) {
                        int sx = domain.x + 2 * x, sy = domain.y + 2 * y;
                        shrunk[y * n + x] =
                            (at(sx, sy) + at(sx + 1, sy) + at(sx, sy + 1) + at(sx + 1, sy + 1)) *
                            0.25f;
                    }
                classify(shrunk, n, domain.block);
                pool.byClass[domain.block.cls].push_back(
                    static_cast<std::uint32_t>(pool.domains.size()));
                pool.domains.push_back(std::move(domain));
            }
    }

    // The nearest contrast code to each factor from -2 to 2 in steps of
    // 1/kCodeSteps, so the search looks codes up instead of comparing.
    static constexpr int kCodeSteps = 1024;
    void buildCodeLookup() {
        codeLookup_.resize(4 * kCodeSteps + 1);
        for (std::size_t i = 0; i < codeLookup_.size(); ++i) {
            float factor = (static_cast<float>(i) - 2 * kCodeSteps) / kCodeSteps;
            float bestDistance = std::numeric_limits<float>::max();
            for (int code = 0; code < kContrastCodes; ++code) {
                float distance = std::fabs(factor - contrast_[code] / float{kContrastOne});
                if (distance < bestDistance) {
                    bestDistance = distance;
                    codeLookup_[i] = static_cast<std::uint8_t>(code);
                }
            }
        }
        for (int a = 0; a < kIsometries; ++a)
            for (int b = 0; b < kIsometries; ++b)
                matchIsometry_[a][b] =
                    static_cast<std::uint8_t>(composeIsometries(a, inverseIsometry(b)));
    }

    int contrastCode(float factor) const {
        float step = std::clamp(factor, -2.0f, 2.0f) * kCodeSteps + 2 * kCodeSteps;
        return codeLookup_[static_cast<std::size_t>(std::lround(step))];
    }

    void encodeNode(int x, int y, int n) {
        std::vector<float> pixels(static_cast<std::size_t>(n) * n);
        for (int j = 0; j < n; ++j)
            for (int i = 0; i < n; ++i) pixels[j * n + i] = at(x + i, y + j);
        Block range;
        classify(pixels, n, range);
        Leaf leaf;
        leaf.x = x;
        leaf.y = y;
        leaf.size = n;
        leaf.mean = static_cast<std::uint8_t>(std::lround(std::clamp(range.mean, 0.0f, 255.0f)));
        float bestError = range.variance;  // the flat block
        float limit = static_cast<float>(maxError_) * n * n;
        // A match a quarter as far off as allowed is as good as the best one.
        float goodEnough = limit * 0.25f;
        // Above the smallest size, a block whose detail is far beyond the limit
        // is split at once: no domain takes out that much of it.
        bool hopeless = n > kMinBlock && bestError > kHopeless * limit;
        if (!hopeless && bestError > goodEnough) search(range, n, goodEnough, leaf, bestError);
        if (n > kMinBlock && bestError > limit) {
            int half = n / 2;
            encodeNode(x, y, half);
            encodeNode(x + half, y, half);
            encodeNode(x, y + half, half);
            encodeNode(x + half, y + half, half);
            return;
        }
        code_.leaves.push_back(leaf);
    }

    // Stops at the first match within goodEnough.
    void searchClass(const Block& range, const Pool& pool, int cls, float goodEnough, Leaf& leaf,
                     float& bestError) {
        std::size_t cells = range.canonical.size();
        for (std::uint32_t index : pool.byClass[cls]) {
            const Domain& domain = pool.domains[index];
            if (domain.block.variance <= 0) continue;
            const float* d = domain.block.canonical.data();
            const float* r = range.canonical.data();
            float covariance = 0;
            for (std::size_t k = 0; k < cells; ++k) covariance += d[k] * r[k];
            int code = contrastCode(covariance / domain.block.variance);
            if (code == kFlatCode) continue;
            float s = contrast_[code] / float{kContrastOne};
            float error = range.variance - 2 * s * covariance + s * s * domain.block.variance;
            if (error < bestError) {
                bestError = error;
                leaf.contrastCode = static_cast<std::uint8_t>(code);
                leaf.domainX = domain.x;
                leaf.domainY = domain.y;
                leaf.isometry = matchIsometry_[domain.block.isometry][range.isometry];
                if (bestError <= goodEnough) return;
            }
        }
    }

    void search(const Block& range, int n, float goodEnough, Leaf& leaf, float& bestError) {
        const Pool& pool = pools_[blockSizeIndex(n)];
        searchClass(range, pool, range.cls, goodEnough, leaf, bestError);
        if (pool.byClass[range.cls].size() >= kFewDomains) return;
        int first = range.cls / 24 * 24;
        for (int cls = first; cls < first + 24 && bestError > goodEnough; ++cls)
            if (cls != range.cls) searchClass(range, pool, cls, goodEnough, leaf, bestError);
    }

    double maxError_;
    ContrastTable contrast_;
    PlaneCode code_;
    std::vector<float> plane_;
    std::array<Pool, kBlockSizes> pools_;
    std::vector<std::uint8_t> codeLookup_;
    std::uint8_t matchIsometry_[kIsometries][kIsometries]{};
};

}  // namespace

PlaneCode encodePlane(const std::uint8_t* samples, int width, int height, int stride,
                      double maxError, const ContrastTable& contrast) {
    return PlaneEncoder(samples, width, height, stride, maxError, contrast).run();
}

}  // namespace deco
