#pragma once

#include <cstdint>
#include <cstring>

namespace pm32 {

// The string dictionary of the GIF and TIFF LZW encoders: which code stands
// for a known string extended by one symbol. Any exact dictionary makes the
// same codes; this one answers from the child a string had last when it
// can, since runs and repeated patterns keep extending a string the same
// way, and otherwise from an open-addressed table probed linearly. Tables
// small enough for the first-level cache, and a clear that touches only
// what the last table used, keep it quick for strips of a few kilobytes.
// Symbols have up to SymbolBits bits (at most 9).
template <unsigned SymbolBits>
class LzwDictionary {
  public:
    static constexpr unsigned kMaxCodes = 4096;

    LzwDictionary() {
        std::memset(keys_, 0, sizeof keys_);
        std::memset(recent_, 0, sizeof recent_);
    }

    // The code of string `prefix` extended by `symbol`, or 0 when there is
    // none yet; then Add may follow for the same string.
    unsigned Find(unsigned prefix, unsigned symbol) {
        const std::uint32_t recent = recent_[prefix];
        if (recent >> kCodeBits == symbol + 1) return recent & kCodeMask;
        const std::uint32_t key = (prefix << SymbolBits | symbol) + 1;
        std::uint32_t slot = (key * 0x9E3779B1u) >> (32 - kSlotBits);
        for (;;) {
            if (keys_[slot] == key) {
                recent_[prefix] = (symbol + 1) << kCodeBits | codes_[slot];
                return codes_[slot];
            }
            if (keys_[slot] == 0) {
                vacant_ = slot;
                return 0;
            }
            slot = (slot + 1) & (kSlots - 1);
        }
    }

    // Gives the string Find did not know its code (never 0).
    void Add(unsigned prefix, unsigned symbol, unsigned code) {
        keys_[vacant_] = (prefix << SymbolBits | symbol) + 1;
        codes_[vacant_] = static_cast<std::uint16_t>(code);
        used_[usedCount_++] = static_cast<std::uint16_t>(vacant_);
        recent_[prefix] = (symbol + 1) << kCodeBits | code;
        // Codes come in rising order, and every prefix is an older code.
        codesInUse_ = code + 1;
    }

    // Forgets every string.
    void Clear() {
        for (unsigned i = 0; i < usedCount_; ++i) keys_[used_[i]] = 0;
        usedCount_ = 0;
        std::memset(recent_, 0, sizeof recent_[0] * codesInUse_);
        codesInUse_ = 0;
    }

  private:
    static constexpr unsigned kCodeBits = 12;
    static constexpr std::uint32_t kCodeMask = (1u << kCodeBits) - 1;
    static constexpr unsigned kSlotBits = 13;
    static constexpr std::uint32_t kSlots = 1u << kSlotBits;
    static_assert(SymbolBits <= 9, "keys of 12-bit prefixes and symbols fit 21 bits");

    // (prefix << SymbolBits | symbol) + 1 per slot, 0 when empty, and its code.
    std::uint32_t keys_[kSlots];
    std::uint16_t codes_[kSlots];
    // Per string: (symbol + 1) << 12 | code of the child last found or made.
    std::uint32_t recent_[kMaxCodes];
    std::uint16_t used_[kMaxCodes];  // slots filled since the last clear
    unsigned usedCount_ = 0;
    unsigned codesInUse_ = 0;   // recent_ holds nothing from here on
    std::uint32_t vacant_ = 0;  // where Add puts what Find missed
};

}  // namespace pm32
