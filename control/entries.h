#pragma once

#include <span>

#include "control/member_spec.h"

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
Variant GetDataSource(ZPm32& c, std::span<Variant> index);
void SetDataSource(ZPm32& c, std::span<Variant> index, const Variant& value);

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

}  // namespace pm32::control::entries
