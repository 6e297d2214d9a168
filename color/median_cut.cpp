#include "color/median_cut.h"

#include <algorithm>
#include <utility>

#include "engine/nothrow_array.h"
#include "platform/message_box.h"

namespace pm32 {
namespace {

// Consistency checks that the cut's own rules keep from firing; should one
// fire, the host is told and the work goes on.
void panic(const char* text) { platform::MessageBox(text, "", platform::MB_OK); }

enum Axis : int { kBlueAxis = 0, kGreenAxis = 1, kRedAxis = 2 };

// The three-field order of an axis: the axis field first.
std::uint32_t orderOf(int axis, std::uint16_t key) {
    std::uint32_t blue = KeyBlue(key), green = KeyGreen(key), red = KeyRed(key);
    switch (axis) {
        case kBlueAxis:
            return blue << 10 | green << 5 | red;
        case kGreenAxis:
            return green << 10 | red << 5 | blue;
        case kRedAxis:
            return red << 10 | blue << 5 | green;
        default:
            panic("!panic! in heap sort");
            return key;
    }
}

void siftDown(std::span<ColorListEntry> run, int axis, std::size_t root, std::size_t end) {
    while (2 * root + 1 <= end) {
        std::size_t child = 2 * root + 1;
        std::size_t largest = root;
        if (orderOf(axis, run[largest].key) < orderOf(axis, run[child].key)) largest = child;
        if (child + 1 <= end && orderOf(axis, run[largest].key) < orderOf(axis, run[child + 1].key))
            largest = child + 1;
        if (largest == root) return;
        std::swap(run[root], run[largest]);
        root = largest;
    }
}

// Keys are unique, so any sort gives this order; a heap sort needs no memory.
void heapSort(std::span<ColorListEntry> run, int axis) {
    if (run.size() < 2) return;
    for (std::size_t start = (run.size() - 2) / 2 + 1; start-- > 0;)
        siftDown(run, axis, start, run.size() - 1);
    for (std::size_t end = run.size() - 1; end > 0; --end) {
        std::swap(run[0], run[end]);
        siftDown(run, axis, 0, end - 1);
    }
}

// The plain mean of the run's expanded colours, requantised; pixel counts
// play no part.
PaletteColor meanColor(std::span<const ColorListEntry> run) {
    if (run.empty()) return {};
    std::uint32_t blue = 0, green = 0, red = 0;
    for (const ColorListEntry& entry : run) {
        blue += ExpandField(KeyBlue(entry.key));
        green += ExpandField(KeyGreen(entry.key));
        red += ExpandField(KeyRed(entry.key));
    }
    auto requantise = [&](std::uint32_t sum) {
        std::uint32_t mean = sum / static_cast<std::uint32_t>(run.size());
        return static_cast<std::uint8_t>((mean & 0xF8) | (mean >> 5));
    };
    return {requantise(blue), requantise(green), requantise(red), 0};
}

void writeBox(std::span<PaletteColor> out, std::int64_t position, PaletteColor color) {
    if (position >= 0 && position < static_cast<std::int64_t>(out.size()))
        out[static_cast<std::size_t>(position)] = color;
}

// The axis with the largest field range; ties go to blue, then green.
int splitAxis(std::span<const ColorListEntry> run) {
    unsigned low[3] = {31, 31, 31}, high[3] = {0, 0, 0};
    for (const ColorListEntry& entry : run) {
        unsigned fields[3] = {KeyBlue(entry.key), KeyGreen(entry.key), KeyRed(entry.key)};
        for (int f = 0; f < 3; ++f) {
            low[f] = std::min(low[f], fields[f]);
            high[f] = std::max(high[f], fields[f]);
        }
    }
    unsigned blue = high[0] - low[0], green = high[1] - low[1], red = high[2] - low[2];
    if (blue >= green && blue >= red) return kBlueAxis;
    return green >= red ? kGreenAxis : kRedAxis;
}

struct Split {
    std::int64_t leftLength;
    std::int64_t leftColors;
};

// Finds where the sorted run divides: two cursors gather pixel counts from
// both ends, the lighter side moving, until they meet on one entry.
Split splitPoint(std::span<const ColorListEntry> run, std::int64_t colors) {
    auto length = static_cast<std::int64_t>(run.size());
    std::int64_t half = colors / 2;
    auto count = [&](std::int64_t i) -> std::uint64_t {
        return run[static_cast<std::size_t>(i)].count;
    };
    std::int64_t left = 0;
    std::uint64_t leftSum = count(0);
    while (left < half - 1 && left + 1 < length) leftSum += count(++left);
    std::int64_t right = length - 1;
    std::uint64_t rightSum = count(right);
    while (length - right < half && right > 0) rightSum += count(--right);
    for (std::int64_t step = (right - left) / 8; step > 0; --step) {
        leftSum += count(++left);
        rightSum += count(--right);
    }
    while (right > left) {
        if (rightSum > leftSum)
            leftSum += count(++left);
        else
            rightSum += count(--right);
    }
    Split split = rightSum < leftSum ? Split{left + 1, colors - half} : Split{left, half};
    if (split.leftLength == 0) split.leftLength = 1;
    if (split.leftLength == length) split.leftLength = length - 1;
    split.leftColors = std::min(split.leftColors, split.leftLength);
    while (colors - split.leftColors > length - split.leftLength) ++split.leftColors;
    return split;
}

void cut(std::span<ColorListEntry> list, std::int64_t start, std::int64_t length,
         std::int64_t colors, std::int64_t base, std::span<PaletteColor> out) {
    for (;;) {
        if (length < colors) panic("boxlen is less numclr !panic!");
        auto run = list.subspan(static_cast<std::size_t>(start), static_cast<std::size_t>(length));
        if (colors <= 1) {
            writeBox(out, base, meanColor(run));
            return;
        }
        if (run.empty()) return;
        if (length == colors) {
            for (std::int64_t i = 0; i < length; ++i)
                writeBox(out, base + i, meanColor(run.subspan(static_cast<std::size_t>(i), 1)));
            return;
        }
        heapSort(run, splitAxis(run));
        Split split = splitPoint(run, colors);
        if (split.leftColors < 1 || split.leftColors >= colors)
            panic("!Panic! using zero colors for box");
        if (colors - split.leftColors > length - split.leftLength)
            panic("Panic! about boxes for colors xx");
        if (split.leftColors > split.leftLength) panic("!panic! about boxes for colors yy");
        cut(list, start, split.leftLength, split.leftColors, base, out);
        start += split.leftLength;
        length -= split.leftLength;
        base += split.leftColors;
        colors -= split.leftColors;
    }
}

}  // namespace

bool ColorList::Pack(const ColorHistogram& histogram) {
    size_ = 0;
    std::size_t used = 0;
    for (std::uint32_t key = 0; key < kKeyCells; ++key)
        if (histogram[static_cast<std::uint16_t>(key)] != 0) ++used;
    entries_ = AllocateArray<ColorListEntry>(std::max<std::size_t>(used, 1));
    if (!entries_) return false;
    for (std::uint32_t key = 0; key < kKeyCells; ++key) {
        auto cell = static_cast<std::uint16_t>(key);
        if (histogram[cell] != 0) entries_[size_++] = {histogram[cell], cell};
    }
    return true;
}

void MedianCut(std::span<ColorListEntry> list, std::span<PaletteColor> out) {
    cut(list, 0, static_cast<std::int64_t>(list.size()), static_cast<std::int64_t>(out.size()), 0,
        out);
}

}  // namespace pm32
