#pragma once

#include <cstdint>

namespace pm32 {

// A 16-bit error number; 0 is success and the message of n is string n.
using ErrorNumber = std::uint16_t;

// What the control's holders throw; the control's entries catch it and report
// the number.
struct RaisedError {
    ErrorNumber number;
};

namespace err {
inline constexpr ErrorNumber None = 0;
inline constexpr ErrorNumber FileMissing = 20100;
inline constexpr ErrorNumber BadFile = 20101;
inline constexpr ErrorNumber OutOfMemory = 20102;
inline constexpr ErrorNumber NoBitmap = 20104;
inline constexpr ErrorNumber FormatNotSupported = 20105;
inline constexpr ErrorNumber BadDepth = 20106;
inline constexpr ErrorNumber WriteFailed = 20107;
inline constexpr ErrorNumber FormatCannotHold = 20108;
inline constexpr ErrorNumber InvalidPicture = 20109;
inline constexpr ErrorNumber DibCannotLock = 20112;
inline constexpr ErrorNumber DibHeaderSize = 20113;
inline constexpr ErrorNumber DibPlanes = 20114;
inline constexpr ErrorNumber DibCompressed = 20115;
inline constexpr ErrorNumber DibDepth = 20116;
inline constexpr ErrorNumber DibDepth8Or24 = 20117;
inline constexpr ErrorNumber DibColorTable = 20118;
inline constexpr ErrorNumber BadArea = 20129;
inline constexpr ErrorNumber BadOption = 20130;
inline constexpr ErrorNumber OperationFailure = 20131;
inline constexpr ErrorNumber BadCompression = 20132;
inline constexpr ErrorNumber TiffCompressionUnsupported = 20133;
inline constexpr ErrorNumber TrueColorHasNoPalette = 20141;
inline constexpr ErrorNumber PaletteTooSmall = 20142;
inline constexpr ErrorNumber BadDumpOption = 20143;
inline constexpr ErrorNumber AssertFailed = 20146;
inline constexpr ErrorNumber NegativeImageNumber = 20153;
inline constexpr ErrorNumber TooManyColors = 20165;
inline constexpr ErrorNumber TooFewColors = 20166;
inline constexpr ErrorNumber ReservedOutOfBounds = 20167;
inline constexpr ErrorNumber InvalidPaletteFile = 20168;
inline constexpr ErrorNumber InvalidPalette = 20140;
inline constexpr ErrorNumber UnknownSymbol = 20180;

inline constexpr ErrorNumber NoDib = 20306;
inline constexpr ErrorNumber NullControl = 20320;
inline constexpr ErrorNumber NoPaletteInControl = 20321;
inline constexpr ErrorNumber NeedImageOrPalette = 20323;
inline constexpr ErrorNumber NegativeLines = 20325;
inline constexpr ErrorNumber NoCallbackWindow = 20326;
inline constexpr ErrorNumber OpenFileFailure = 20340;
inline constexpr ErrorNumber CloseFileFailure = 20341;
inline constexpr ErrorNumber WriteFileFailure = 20342;
inline constexpr ErrorNumber FileNameEmpty = 20352;
inline constexpr ErrorNumber ControlOutOfMemory = 20354;
inline constexpr ErrorNumber LockFailed = 20360;
inline constexpr ErrorNumber Unrecoverable = 20365;
}  // namespace err

// The FIF reader and its outside decoder library.
namespace err {
inline constexpr ErrorNumber DecoMissing = 20159;
inline constexpr ErrorNumber DecoBad = 20160;
inline constexpr ErrorNumber FifLibraryVersion = 20188;
inline constexpr ErrorNumber FifNewerFormat = 20189;
inline constexpr ErrorNumber FifLoadParameter = 20190;
inline constexpr ErrorNumber FifSizeUnknown = 20191;
inline constexpr ErrorNumber FifTableFile = 20192;
inline constexpr ErrorNumber FifReadFailed = 20193;
}  // namespace err

}  // namespace pm32
