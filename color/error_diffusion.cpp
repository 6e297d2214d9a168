#include "color/error_diffusion.h"

#include <algorithm>
#include <utility>

#include "engine/dib_layout.h"
#include "engine/nothrow_array.h"

namespace pm32 {
namespace {

// The error rows hold blue, green, red per position, 16-bit as the
// arithmetic is; position p + 1 holds the error left by pixel p.
using ErrorValue = std::int16_t;

std::int16_t product(int weight, ErrorValue error) {
    return static_cast<std::int16_t>(weight * error);
}

int gathered(ErrorValue fromLeft, ErrorValue above0, ErrorValue above1, ErrorValue above2) {
    auto sum = static_cast<std::int16_t>(product(1, fromLeft) + product(7, above0) +
                                         product(5, above1) + product(3, above2));
    return sum >> 4;
}

std::uint8_t clamped(int value) { return static_cast<std::uint8_t>(std::clamp(value, 0, 255)); }

template <bool Indexed>
void diffuseRow(const DitherSource& source, const std::uint8_t* in, std::uint8_t* out,
                NearestColorSearch& search, const ErrorValue* above, ErrorValue* current,
                int bleedLimit) {
    for (std::int32_t x = 0; x < source.width; ++x) {
        int blue, green, red;
        if constexpr (Indexed) {
            const PaletteColor& c = (*source.table)[in[x]];
            blue = c.blue;
            green = c.green;
            red = c.red;
        } else {
            blue = in[3 * x];
            green = in[3 * x + 1];
            red = in[3 * x + 2];
        }
        const ErrorValue* a = above + 3 * x;
        const ErrorValue* left = current + 3 * x;
        blue += gathered(left[0], a[0], a[3], a[6]);
        green += gathered(left[1], a[1], a[4], a[7]);
        red += gathered(left[2], a[2], a[5], a[8]);
        const PaletteColor& chosen =
            search.Entry(search.Position(clamped(blue), clamped(green), clamped(red)));
        out[x] = chosen.tag;
        ErrorValue* mine = current + 3 * (x + 1);
        mine[0] = CarriedError(blue - chosen.blue, bleedLimit);
        mine[1] = CarriedError(green - chosen.green, bleedLimit);
        mine[2] = CarriedError(red - chosen.red, bleedLimit);
    }
}

}  // namespace

ErrorNumber DiffuseErrors(const DitherSource& source, NearestColorSearch& search,
                          std::span<std::uint8_t* const> out, int bleedLimit,
                          ProgressPump* progress) {
    auto positions = checkedAdd(static_cast<std::uint64_t>(source.width), 2);
    auto values = positions ? checkedMultiply(*positions, 3) : std::nullopt;
    if (!values) return err::OutOfMemory;
    auto above = AllocateArray<ErrorValue>(static_cast<std::size_t>(*values));
    auto current = AllocateArray<ErrorValue>(static_cast<std::size_t>(*values));
    if (!above || !current) return err::OutOfMemory;
    if (progress != nullptr) progress->Begin();
    bool indexed = source.depth == 8;
    for (std::size_t row = 0; row < source.rows.size() && row < out.size(); ++row) {
        if (indexed)
            diffuseRow<true>(source, source.rows[row], out[row], search, above.get(), current.get(),
                             bleedLimit);
        else
            diffuseRow<false>(source, source.rows[row], out[row], search, above.get(),
                              current.get(), bleedLimit);
        std::swap(above, current);
        if (progress != nullptr && !progress->Tick()) break;
    }
    return 0;
}

}  // namespace pm32
