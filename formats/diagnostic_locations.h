#pragma once

#include "engine/diagnostic_locations.h"

// Where the file readers and writers report a failure: the location code a
// diagnostic box names, one per site (shared where two walks read the same
// structure).
namespace pm32::location {
inline constexpr int StoreFormatUnknown = 9045;
inline constexpr int LoadFormatUnnamed = 9046;
inline constexpr int LoadFormatUnknown = 9047;
inline constexpr int FormatUnrecognised = 9048;
inline constexpr int BmpNoMemory = 9103;
inline constexpr int BmpRleEscape = 9104;
inline constexpr int BmpBadInfoHeader = 9105;
inline constexpr int BmpCreateFailed = 9106;
inline constexpr int BmpWriteFailed = 9107;
inline constexpr int BmpTooLarge = 9108;
inline constexpr int PcxBadHeader = 9131;
inline constexpr int PcxTooShort = 9132;
inline constexpr int PcxReadNoMemory = 9133;
inline constexpr int PcxBadLine = 9134;
inline constexpr int PcxBadPicture = 9135;
inline constexpr int PcxWriteNoMemory = 9136;
inline constexpr int PcxWriteFailed = 9137;
inline constexpr int PcxCreateFailed = 9138;
inline constexpr int PcxTooLarge = 9139;
inline constexpr int TargaBadHeader = 9141;
inline constexpr int TargaBadColorMap = 9142;
inline constexpr int TargaTooShort = 9143;
inline constexpr int TargaNoMemory = 9144;
inline constexpr int TargaBadDepth = 9145;
inline constexpr int TargaBadPicture = 9146;
inline constexpr int TargaCreateFailed = 9147;
inline constexpr int TargaWriteFailed = 9148;
inline constexpr int TargaTooLarge = 9149;
inline constexpr int PaintbrushBadImage = 9161;
inline constexpr int PaintbrushHeaderSize = 9162;
inline constexpr int PaintbrushNotLocked = 9163;
inline constexpr int PaintbrushBadObject = 9164;
inline constexpr int UpdateBusy = 9174;
inline constexpr int UpdateFailed = 9175;
inline constexpr int ReadFailed = 9176;
inline constexpr int CreateFailed = 9177;
inline constexpr int NoByteOrder = 9178;
inline constexpr int WriteFailed = 9180;
inline constexpr int ReadBusy = 9181;
inline constexpr int CreateBusy = 9183;
inline constexpr int GifPartialImage = 9191;
inline constexpr int GifDecoderFailure = 9192;
inline constexpr int GifMemoryRefused = 9193;
inline constexpr int GifEncoderFailure = 9194;
inline constexpr int GifWriteFailed = 9195;
inline constexpr int GifBadPixel = 9196;
inline constexpr int GifNoMemory = 9197;
inline constexpr int GifUnexpectedLabel = 9211;
inline constexpr int GifNotGif = 9212;
inline constexpr int GifBadVersion = 9213;
inline constexpr int TiffCountBadChain = 9215;
inline constexpr int CountNameTooShort = 9226;
inline constexpr int CountFileMissing = 9227;
inline constexpr int TiffBadHeader = 9240;
inline constexpr int TiffBadChain = 9241;
inline constexpr int TiffBadCompression = 9242;
inline constexpr int TiffBadLayout = 9243;
inline constexpr int TiffBadStripTable = 9244;
inline constexpr int TiffBadColorMap = 9245;
inline constexpr int TiffBadStripData = 9246;
inline constexpr int TiffPackBitsDepth = 9247;
inline constexpr int TiffReadNoMemory = 9248;
inline constexpr int TiffBadSize = 9249;
inline constexpr int TiffWriteBadPicture = 9250;
inline constexpr int TiffWriteOpen = 9251;
inline constexpr int TiffWriteAppend = 9252;
inline constexpr int TiffWriteNoMemory = 9253;
inline constexpr int TiffWriteLzw = 9254;
inline constexpr int TiffWriteFailed = 9255;
inline constexpr int GifNoByte = 9272;
inline constexpr int GifUnknownBlock = 9273;
inline constexpr int BmpBadFileHeader = 9278;
}  // namespace pm32::location
