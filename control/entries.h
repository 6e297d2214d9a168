#pragma once

#include <span>

#include "control/member_row.h"

// The handlers behind the control's member table, grouped by topic in the
// entries_*.cpp files.
namespace pm32::control::entries {

// Image state and identity.
Variant GetColorDepth(ZPm32& c, std::span<Variant> index);
Variant GetContents(ZPm32& c, std::span<Variant> index);
Variant GetXresolution(ZPm32& c, std::span<Variant> index);
Variant GetYresolution(ZPm32& c, std::span<Variant> index);
Variant GetVersion(ZPm32& c, std::span<Variant> index);
Variant GetPZDib(ZPm32& c, std::span<Variant> index);
Variant GetPZPal(ZPm32& c, std::span<Variant> index);
Variant GetPicbufID(ZPm32& c, std::span<Variant> index);
Variant GetErrorNumber(ZPm32& c, std::span<Variant> index);
void SetErrorNumber(ZPm32& c, std::span<Variant> index, const Variant& value);
Variant GetHWnd(ZPm32& c, std::span<Variant> index);
// At design time the auto-load image follows FileName and AutoLoad.
void FileNameChanged(ZPm32& c, const Variant& value);
void AutoLoadChanged(ZPm32& c, const Variant& value);
Variant GetDataSource(ZPm32& c, std::span<Variant> index);
void SetDataSource(ZPm32& c, std::span<Variant> index, const Variant& value);
void DataFieldChanged(ZPm32& c, const Variant& value);

// Handles.
void SetHDib(ZPm32& c, std::span<Variant> index, const Variant& value);
void SetHPalette(ZPm32& c, std::span<Variant> index, const Variant& value);
Variant Clear(ZPm32& c, std::span<Variant> args);
Variant Init(ZPm32& c, std::span<Variant> args);
Variant Verify(ZPm32& c, std::span<Variant> args);
Variant ImportDib(ZPm32& c, std::span<Variant> args);
Variant ExportDib(ZPm32& c, std::span<Variant> args);
Variant DuplicateDib(ZPm32& c, std::span<Variant> args);
Variant DuplicatePalette(ZPm32& c, std::span<Variant> args);

// Exchange with other controls, the clipboard, pictures and bitmaps.
Variant Assign(ZPm32& c, std::span<Variant> args);
Variant MaskCopy(ZPm32& c, std::span<Variant> args);
Variant CopyClipboard(ZPm32& c, std::span<Variant> args);
Variant PasteClipboard(ZPm32& c, std::span<Variant> args);
Variant BitmapToDib(ZPm32& c, std::span<Variant> args);
Variant DibToBitmap(ZPm32& c, std::span<Variant> args);
Variant GetPicture(ZPm32& c, std::span<Variant> index);
void SetPicture(ZPm32& c, std::span<Variant> index, const Variant& value);

// Printing.
void SetPrinterHDC(ZPm32& c, std::span<Variant> index, const Variant& value);

// Files.
Variant Load(ZPm32& c, std::span<Variant> args);
Variant LoadCallback(ZPm32& c, std::span<Variant> args);
Variant Store(ZPm32& c, std::span<Variant> args);
Variant AppendTIFF(ZPm32& c, std::span<Variant> args);
Variant CountImages(ZPm32& c, std::span<Variant> args);
Variant LoadPal(ZPm32& c, std::span<Variant> args);
Variant StorePal(ZPm32& c, std::span<Variant> args);
Variant ErrorDump(ZPm32& c, std::span<Variant> args);
Variant DumpControl(ZPm32& c, std::span<Variant> args);

// Colour reduction, depth, grey and colour edits, pixel queries.
Variant ReduceColors(ZPm32& c, std::span<Variant> args);
Variant ReduceColorsCallback(ZPm32& c, std::span<Variant> args);
Variant DitherPal(ZPm32& c, std::span<Variant> args);
Variant IncreaseColors(ZPm32& c, std::span<Variant> args);
Variant GrayScale(ZPm32& c, std::span<Variant> args);
Variant ColorReplace(ZPm32& c, std::span<Variant> args);
Variant GetColor(ZPm32& c, std::span<Variant> args);
Variant GetPalIndex(ZPm32& c, std::span<Variant> args);

// Neighbourhood filters and tone operations.
Variant Blur(ZPm32& c, std::span<Variant> args);
Variant Soften(ZPm32& c, std::span<Variant> args);
Variant Sharpen(ZPm32& c, std::span<Variant> args);
Variant ExtractEdges(ZPm32& c, std::span<Variant> args);
Variant MatrixFilter(ZPm32& c, std::span<Variant> args);
Variant BrightCont(ZPm32& c, std::span<Variant> args);
Variant Gamma(ZPm32& c, std::span<Variant> args);
Variant Negate(ZPm32& c, std::span<Variant> args);

// Geometry and row access.
Variant Rotate(ZPm32& c, std::span<Variant> args);
Variant Mirror(ZPm32& c, std::span<Variant> args);
Variant GetScanLine(ZPm32& c, std::span<Variant> args);
Variant PutScanLine(ZPm32& c, std::span<Variant> args);
Variant GetColorCount(ZPm32& c, std::span<Variant> args);
Variant GetColorCountArray(ZPm32& c, std::span<Variant> args);

// Palettes: common palettes, system colours, remapping, entries.
Variant OptimizePal(ZPm32& c, std::span<Variant> args);
Variant OptimizePalFiles(ZPm32& c, std::span<Variant> args);
Variant CreatePalette(ZPm32& c, std::span<Variant> args);
Variant AddSystemColors(ZPm32& c, std::span<Variant> args);
Variant CountSystemColors(ZPm32& c, std::span<Variant> args);
Variant WinG(ZPm32& c, std::span<Variant> args);
Variant MapIndex(ZPm32& c, std::span<Variant> args);
Variant RemapPal(ZPm32& c, std::span<Variant> args);
Variant SetPalColor(ZPm32& c, std::span<Variant> args);
Variant GetPalColor(ZPm32& c, std::span<Variant> args);
Variant GetPalette(ZPm32& c, std::span<Variant> args);
Variant SetScreenPal(ZPm32& c, std::span<Variant> args);
Variant GetSystemPalette(ZPm32& c, std::span<Variant> index);

// Checks between properties.
void CheckAutoScale(ZPm32& c, const Variant& value);
void CheckAutoSize(ZPm32& c, const Variant& value);
void CheckScrollBars(ZPm32& c, const Variant& value);
void CheckNotAutoScaled(ZPm32& c, const Variant& value);
void CopyToWriteCompression(ZPm32& c, const Variant& value);

// Information texts.
Variant GetInfoImage(ZPm32& c, std::span<Variant> index);
Variant GetInfoIO(ZPm32& c, std::span<Variant> index);
Variant GetInfoView(ZPm32& c, std::span<Variant> index);
Variant GetInfoDraw(ZPm32& c, std::span<Variant> index);
Variant GetInfoText(ZPm32& c, std::span<Variant> index);

// Display: the view, scrolling, scaling and the mouse pointer.
Variant RePos(ZPm32& c, std::span<Variant> args);
Variant ScreenToImageX(ZPm32& c, std::span<Variant> args);
Variant ScreenToImageY(ZPm32& c, std::span<Variant> args);
Variant Scale(ZPm32& c, std::span<Variant> args);
Variant GetHorzSBHeight(ZPm32& c, std::span<Variant> args);
Variant GetVertSBWidth(ZPm32& c, std::span<Variant> args);
Variant Refresh(ZPm32& c, std::span<Variant> args);

// The About box, shown through the host's message-box handler.
Variant AboutBox(ZPm32& c, std::span<Variant> args);
void RefreshView(ZPm32& c, const Variant& value);
void InvalidateView(ZPm32& c, const Variant& value);
void ShowMousePointer(ZPm32& c, const Variant& value);
// BorderStyle, Appearance and Enabled take effect on the window.
void ApplyLook(ZPm32& c, const Variant& value);
Variant GetMouseIcon(ZPm32& c, std::span<Variant> index);
void SetMouseIcon(ZPm32& c, std::span<Variant> index, const Variant& value);
std::string SaveMouseIcon(const ZPm32& c);
void LoadMouseIcon(ZPm32& c, std::optional<std::string_view> text);

// Regions and the rubber band.
Variant Region(ZPm32& c, std::span<Variant> args);
Variant RegionRb(ZPm32& c, std::span<Variant> args);
Variant GetRegionEnabled(ZPm32& c, std::span<Variant> index);
void SetRegionEnabled(ZPm32& c, std::span<Variant> index, const Variant& value);
Variant GetRegionVisible(ZPm32& c, std::span<Variant> index);
void SetRegionVisible(ZPm32& c, std::span<Variant> index, const Variant& value);
Variant GetRegionFillStyle(ZPm32& c, std::span<Variant> index);
void SetRegionFillStyle(ZPm32& c, std::span<Variant> index, const Variant& value);
Variant GetRegionFillColor(ZPm32& c, std::span<Variant> index);
void SetRegionFillColor(ZPm32& c, std::span<Variant> index, const Variant& value);
Variant GetRegionRasterOp(ZPm32& c, std::span<Variant> index);
void SetRegionRasterOp(ZPm32& c, std::span<Variant> index, const Variant& value);
Variant GetRegionFrameColor(ZPm32& c, std::span<Variant> index);
void SetRegionFrameColor(ZPm32& c, std::span<Variant> index, const Variant& value);
Variant GetRegionFrameWidth(ZPm32& c, std::span<Variant> index);
void SetRegionFrameWidth(ZPm32& c, std::span<Variant> index, const Variant& value);

// Drawing shapes and text into the image or onto the window.
Variant Arc(ZPm32& c, std::span<Variant> args);
Variant Chord(ZPm32& c, std::span<Variant> args);
Variant Pie(ZPm32& c, std::span<Variant> args);
Variant Rect(ZPm32& c, std::span<Variant> args);
Variant RoundRect(ZPm32& c, std::span<Variant> args);
Variant Polygon(ZPm32& c, std::span<Variant> args);
Variant PolyLine(ZPm32& c, std::span<Variant> args);
Variant TextDraw(ZPm32& c, std::span<Variant> args);
Variant TextHigh(ZPm32& c, std::span<Variant> args);
Variant TextWide(ZPm32& c, std::span<Variant> args);
Variant GetHDC(ZPm32& c, std::span<Variant> index);

// The stock Font: the control's own font object, which text drawing uses.
Variant GetFont(ZPm32& c, std::span<Variant> index);
void SetFont(ZPm32& c, std::span<Variant> index, const Variant& value);
std::string SaveFont(const ZPm32& c);
void LoadFont(ZPm32& c, std::optional<std::string_view> text);

}  // namespace pm32::control::entries
