#pragma once

// Where the image model reports a failure: the location code a diagnostic box
// names, so a report can be traced to its site.
namespace pm32::location {
inline constexpr int CreateBadDepth = 9021;
inline constexpr int CreateBadSize = 9024;
inline constexpr int CreateNoMemory = 9028;
inline constexpr int RowTableInvalid = 9035;
inline constexpr int HeaderInvalid = 9051;
inline constexpr int PaletteOnlyTrueColor = 9053;
inline constexpr int AllocateOverHandle = 9054;
inline constexpr int HeaderWithoutBlock = 9055;
inline constexpr int AllocateNoMemory = 9056;
inline constexpr int FreeFailed = 9221;
inline constexpr int DuplicateNoMemory = 9222;
inline constexpr int DuplicateBadHeader = 9223;
inline constexpr int DuplicateNotLocked = 9224;
inline constexpr int DuplicateCompressed = 9225;
// Also where the file readers fail to lock the block they just made.
inline constexpr int BlockNotLocked = 9275;
}  // namespace pm32::location
