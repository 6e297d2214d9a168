
#include "control/dispids.h"
#include "control/entries.h"
#include "control/member_row.h"
#include "platform/text_compare.h"

namespace pm32::control {
namespace {

using automation::MemberKind;
namespace e = entries;

ParamInfo in(std::string name, VarType type) {
    return {std::move(name), type, false, false, false};
}
ParamInfo optional(std::string name) {
    return {std::move(name), VarType::Variant, false, true, false};
}
ParamInfo arrayRef(std::string name, VarType type) {
    return {std::move(name), type, true, false, true};
}

MemberRow stored(DispId id, std::string_view name, VarType type, Variant initial,
                 std::optional<Range> range = std::nullopt) {
    return {.id = id,
            .name = name,
            .type = type,
            .range = range,
            .stored = true,
            .initial = std::move(initial),
            .persisted = true};
}

MemberRow method(DispId id, std::string_view name, std::vector<ParamInfo> params, VarType result,
                 MethodHandler handler) {
    return {.id = id,
            .name = name,
            .kind = MemberKind::Method,
            .type = result,
            .params = std::move(params),
            .method = handler};
}

// An indexed region property: run time only, its range checked before the
// region is looked up.
MemberRow regionProperty(DispId id, std::string_view name, VarType type, Getter getter,
                         Setter setter, std::optional<Range> range = std::nullopt) {
    return {.id = id,
            .name = name,
            .type = type,
            .params = {in("nRegion", VarType::I2)},
            .get = GetRule::RunTimeOnly,
            .set = SetRule::RunTimeOnly,
            .range = range,
            .getter = getter,
            .setter = setter};
}

constexpr VarType I2 = VarType::I2;
constexpr VarType I4 = VarType::I4;
constexpr VarType R8 = VarType::R8;
constexpr VarType Bool = VarType::Bool;
constexpr VarType Str = VarType::String;
constexpr VarType Obj = VarType::Dispatch;
constexpr VarType None = VarType::Empty;
constexpr std::int32_t kShortMax = 32767;

Variant i2(std::int16_t v) { return Variant::I2(v); }
Variant i4(std::int32_t v) { return Variant::I4(v); }
Variant no() { return Variant::Bool(false); }
Variant text() { return Variant::String({}); }

std::vector<MemberRow> buildTable() {
    namespace d = dispid;
    std::vector<MemberRow> t;
    t.push_back(stored(d::FileName, "FileName", Str, text()));
    t.push_back(stored(d::FillColor, "FillColor", I4, i4(0)));
    t.push_back(stored(d::FillTransparent, "FillTransparent", Bool, no()));
    t.push_back(stored(d::FontTransparent, "FontTransparent", Bool, no()));
    t.push_back(stored(d::ImageCompression, "ImageCompression", I2, i2(0)));
    t.back().afterSet = e::CopyToWriteCompression;
    t.push_back(stored(d::ImageNumber, "ImageNumber", I2, i2(0)));
    t.push_back(stored(d::LoadHeight, "LoadHeight", I2, i2(0)));
    t.push_back(stored(d::LoadOptions, "LoadOptions", I2, i2(0)));
    t.push_back(stored(d::LoadWidth, "LoadWidth", I2, i2(0)));
    t.push_back(stored(d::PrintHeight, "PrintHeight", I2, i2(0)));
    t.push_back(stored(d::PrintLeft, "PrintLeft", I2, i2(0)));
    t.push_back(stored(d::PrintTop, "PrintTop", I2, i2(0)));
    t.push_back(stored(d::PrintWidth, "PrintWidth", I2, i2(0)));
    t.push_back(stored(d::SelectHeight, "SelectHeight", I2, i2(0)));
    t.push_back(stored(d::SelectLeft, "SelectLeft", I2, i2(0)));
    t.push_back(stored(d::SelectTop, "SelectTop", I2, i2(0)));
    t.push_back(stored(d::SelectWidth, "SelectWidth", I2, i2(0)));
    t.push_back(stored(d::TextAutoSize, "TextAutoSize", Bool, no()));
    t.push_back(stored(d::TextExtLeading, "TextExtLeading", Bool, no()));
    t.push_back(stored(d::TextMultiLine, "TextMultiLine", Bool, no()));
    t.push_back(stored(d::Xorigin, "Xorigin", I2, i2(0)));
    t.push_back(stored(d::Yorigin, "Yorigin", I2, i2(0)));
    t.push_back(stored(d::DataField, "DataField", Str, text()));
    t.back().notifies = false;
    t.push_back(stored(d::LoadCropX, "LoadCropX", I2, i2(0)));
    t.push_back(stored(d::LoadCropY, "LoadCropY", I2, i2(0)));
    t.push_back(stored(d::LoadCropWidth, "LoadCropWidth", I2, i2(0)));
    t.push_back(stored(d::LoadCropHeight, "LoadCropHeight", I2, i2(0)));
    t.push_back(stored(d::LoadFastest, "LoadFastest", Bool, no()));
    t.push_back(stored(d::DebugBreak, "DebugBreak", Bool, no()));
    t.back().persisted = false;
    t.back().notifies = false;
    t.push_back(stored(d::WriteCompression, "WriteCompression", I2, i2(0)));
    t.push_back(stored(d::AutoScale, "AutoScale", Bool, no()));
    t.back().check = e::CheckAutoScale;
    t.back().afterSet = e::RefreshView;
    t.push_back(stored(d::ScaleImage, "ScaleImage", I2, i2(1), Range{1, kShortMax, 20344}));
    t.back().check = e::CheckNotAutoScaled;
    t.back().afterSet = e::RefreshView;
    t.push_back(stored(d::ScaleScreen, "ScaleScreen", I2, i2(1), Range{1, kShortMax, 20343}));
    t.back().check = e::CheckNotAutoScaled;
    t.back().afterSet = e::RefreshView;
    t.push_back(stored(d::AutoSize, "AutoSize", Bool, no()));
    t.back().check = e::CheckAutoSize;
    t.back().afterSet = e::RefreshView;
    t.push_back({.id = d::MouseIcon,
                 .name = "MouseIcon",
                 .type = Obj,
                 .persisted = true,
                 .getter = e::GetMouseIcon,
                 .setter = e::SetMouseIcon,
                 .save = e::SaveMouseIcon,
                 .load = e::LoadMouseIcon});
    t.push_back(stored(d::MousePointer, "MousePointer", I2, i2(0), Range{0, 15, 20327, 99}));
    t.back().afterSet = e::ShowMousePointer;
    t.push_back(stored(d::ScrollBars, "ScrollBars", I2, i2(0), Range{0, 3, 20380}));
    t.back().check = e::CheckScrollBars;
    t.back().afterSet = e::RefreshView;
    t.push_back(stored(d::ScrollBarsSmallChange, "ScrollBarsSmallChange", I2, i2(1),
                       Range{1, kShortMax, 20333}));
    t.back().afterSet = e::RefreshView;
    t.push_back(stored(d::ScrollBarsLargeChange, "ScrollBarsLargeChange", I2, i2(10),
                       Range{1, kShortMax, 20333}));
    t.back().afterSet = e::RefreshView;
    t.push_back(stored(d::AssignMode, "AssignMode", I2, i2(0), Range{0, 3, 20366}));
    t.push_back(stored(d::CallbackLines, "CallbackLines", I2, i2(0), Range{0, kShortMax, 20325}));
    t.push_back({.id = d::ColorDepth,
                 .name = "ColorDepth",
                 .type = I2,
                 .get = GetRule::RunTimeOnly,
                 .set = SetRule::Refused,
                 .accessError = 20367,
                 .getter = e::GetColorDepth});
    t.push_back({.id = d::Contents,
                 .name = "Contents",
                 .type = I2,
                 .get = GetRule::RunTimeOnly,
                 .set = SetRule::Refused,
                 .accessError = 20348,
                 .getter = e::GetContents});
    t.push_back(stored(d::DrawArrows, "DrawArrows", I2, i2(0), Range{0, 3, 20368}));
    t.push_back(stored(d::DrawStyle, "DrawStyle", I2, i2(0), Range{0, 6, 20369}));
    t.push_back(stored(d::DrawWidth, "DrawWidth", I2, i2(1), Range{1, kShortMax, 20339}));
    t.push_back(stored(d::FillStyle, "FillStyle", I2, i2(1), Range{0, 7, 20370}));
    t.push_back({.id = d::hDC,
                 .name = "hDC",
                 .type = I4,
                 .get = GetRule::RunTimeOnly,
                 .set = SetRule::Refused,
                 .accessError = 20371,
                 .getter = e::GetHDC});
    t.push_back({.id = d::hDib,
                 .name = "hDib",
                 .type = I4,
                 .get = GetRule::WriteOnly,
                 .accessError = 20346,
                 .setter = e::SetHDib});
    t.push_back(stored(d::ImageFormat, "ImageFormat", I2, i2(0), Range{0, 10, 20372}));
    t.push_back(stored(d::LoadScale, "LoadScale", I2, i2(0), Range{0, 3, 20373}));
    t.push_back(stored(d::LoadPalette, "LoadPalette", I4, i4(0)));
    t.back().get = GetRule::RunTimeOnly;
    t.back().persisted = false;
    t.push_back({.id = d::hPalette,
                 .name = "hPalette",
                 .type = I4,
                 .get = GetRule::WriteOnly,
                 .accessError = 20347,
                 .setter = e::SetHPalette});
    t.push_back({.id = d::Picture,
                 .name = "Picture",
                 .type = Obj,
                 .get = GetRule::RunTimeOnly,
                 .getter = e::GetPicture,
                 .setter = e::SetPicture});
    t.push_back({.id = d::PrinterhDC,
                 .name = "PrinterhDC",
                 .type = I4,
                 .get = GetRule::WriteOnly,
                 .accessError = 20377});
    t.push_back(stored(d::ResizeMode, "ResizeMode", I2, i2(0), Range{0, 3, 20378}));
    t.push_back({.id = d::SystemPalette,
                 .name = "SystemPalette",
                 .type = Bool,
                 .get = GetRule::RunTimeOnly,
                 .set = SetRule::ReadOnly,
                 .getter = e::GetSystemPalette});
    t.push_back(stored(d::TextAlignment, "TextAlignment", I2, i2(0), Range{0, 3, 20381}));
    t.push_back({.id = d::Version,
                 .name = "Version",
                 .type = Str,
                 .set = SetRule::ReadOnly,
                 .getter = e::GetVersion});
    t.push_back({.id = d::Xresolution,
                 .name = "Xresolution",
                 .type = I2,
                 .get = GetRule::RunTimeOnly,
                 .set = SetRule::ReadOnly,
                 .getter = e::GetXresolution});
    t.push_back({.id = d::Yresolution,
                 .name = "Yresolution",
                 .type = I2,
                 .get = GetRule::RunTimeOnly,
                 .set = SetRule::ReadOnly,
                 .getter = e::GetYresolution});
    t.push_back({.id = d::pZDib,
                 .name = "pZDib",
                 .type = I4,
                 .set = SetRule::Ignored,
                 .getter = e::GetPZDib});
    t.push_back({.id = d::pZPal,
                 .name = "pZPal",
                 .type = I4,
                 .set = SetRule::Ignored,
                 .getter = e::GetPZPal});
    t.push_back({.id = d::PicbufID,
                 .name = "PicbufID",
                 .type = I2,
                 .set = SetRule::Ignored,
                 .getter = e::GetPicbufID});
    t.push_back(stored(d::ScreenPalette, "ScreenPalette", Bool, no()));
    t.push_back(stored(d::AutoLoad, "AutoLoad", I2, i2(0), Range{0, 2, 20392}));
    t.back().set = SetRule::DesignTimeOnly;
    t.back().accessError = 20387;
    t.push_back({.id = d::DataSource,
                 .name = "DataSource",
                 .type = VarType::Unknown,
                 .getter = e::GetDataSource,
                 .setter = e::SetDataSource});
    const std::pair<DispId, std::string_view> infos[] = {{d::InfoImage, "InfoImage"},
                                                         {d::InfoIO, "InfoIO"},
                                                         {d::InfoView, "InfoView"},
                                                         {d::InfoDraw, "InfoDraw"},
                                                         {d::InfoText, "InfoText"}};
    const Getter infoGetters[] = {e::GetInfoImage, e::GetInfoIO, e::GetInfoView, e::GetInfoDraw,
                                  e::GetInfoText};
    for (std::size_t i = 0; i < std::size(infos); ++i)
        t.push_back({.id = infos[i].first,
                     .name = infos[i].second,
                     .type = Str,
                     .get = GetRule::RunTimeOnly,
                     .set = SetRule::ReadOnly,
                     .getter = infoGetters[i]});
    t.push_back(stored(d::WriteOption, "WriteOption", I2, i2(0), Range{0, 3, 20391}));
    t.push_back({.id = d::ErrorNumber,
                 .name = "ErrorNumber",
                 .type = I4,
                 .get = GetRule::RunTimeOnly,
                 .set = SetRule::RunTimeOnly,
                 .getter = e::GetErrorNumber,
                 .setter = e::SetErrorNumber});
    t.push_back(stored(d::RasterOp, "RasterOp", I2, i2(5), Range{0, 15, 20399}));
    t.back().persisted = false;

    t.push_back(method(d::Load, "Load", {}, None, e::Load));
    t.push_back(method(d::AppendTIFF, "AppendTIFF", {}, None, e::AppendTIFF));
    t.push_back(method(d::DumpControl, "DumpControl", {in("nOptions", I2)}, None, e::DumpControl));
    t.push_back(method(d::CountImages, "CountImages", {}, I2, e::CountImages));
    t.push_back(method(d::ImportDib, "ImportDib", {in("hDib", I4), in("bTransferOwnership", Bool)},
                       None, e::ImportDib));
    t.push_back(
        method(d::ExportDib, "ExportDib", {in("bTransferOwnership", Bool)}, I4, e::ExportDib));
    t.push_back(
        method(d::LoadCallback, "LoadCallback", {in("pPeekControl", Obj)}, None, e::LoadCallback));
    t.push_back(method(d::LoadPal, "LoadPal", {}, None, e::LoadPal));
    t.push_back(method(d::Store, "Store", {}, None, e::Store));
    t.push_back(method(d::StorePal, "StorePal", {}, None, e::StorePal));
    t.push_back(method(d::Assign, "Assign",
                       {in("bDestSelect", Bool), in("SrcControl", Obj), in("bSrcSelect", Bool)},
                       None, e::Assign));
    t.push_back(method(d::GrayScale, "GrayScale", {}, None, e::GrayScale));
    t.push_back(method(d::OptimizePal, "OptimizePal",
                       {in("CntlArray", VarType::Variant), in("nCntrls", I2), in("nColors", I2)},
                       None, e::OptimizePal));
    t.push_back(
        method(d::RePos, "RePos",
               {in("nImageX", I2), in("nImageY", I2), in("nClientX", I2), in("nClientY", I2)}, None,
               e::RePos));
    t.push_back(method(d::Clear, "Clear", {}, None, e::Clear));
    t.push_back(method(d::AddSystemColors, "AddSystemColors", {}, None, e::AddSystemColors));
    t.push_back(method(d::CountSystemColors, "CountSystemColors", {}, I4, e::CountSystemColors));
    t.push_back(method(d::DitherPal, "DitherPal", {in("SrcCntrl", Obj)}, None, e::DitherPal));
    t.push_back(method(d::GetColorCount, "GetColorCount", {}, I4, e::GetColorCount));
    t.push_back(method(d::GetPalColor, "GetPalColor", {in("nPosition", I2)}, I4, e::GetPalColor));
    t.push_back(
        method(d::IncreaseColors, "IncreaseColors", {in("nDepth", I2)}, None, e::IncreaseColors));
    t.push_back(method(d::ReduceColorsCallback, "ReduceColorsCallback",
                       {in("nColors", I2), in("bOptimize", I2), in("bDither", I2),
                        in("bNoBleed", I2), in("pPeekCntrl", Obj)},
                       None, e::ReduceColorsCallback));
    t.push_back(method(d::RemapPal, "RemapPal", {in("pSrcControl", Obj)}, None, e::RemapPal));
    t.push_back(method(d::SetScreenPal, "SetScreenPal", {}, None, e::SetScreenPal));
    t.push_back(method(d::SetPalColor, "SetPalColor", {in("nPalPos", I2), in("nColorValue", I4)},
                       None, e::SetPalColor));
    t.push_back(method(
        d::ColorReplace, "ColorReplace",
        {in("nRgbStart", I4), in("nRgbEnd", I4), in("nExclusive", I2), in("nRgbReplace", I4)}, None,
        e::ColorReplace));
    t.push_back(
        method(d::ReduceColors, "ReduceColors",
               {in("nColors", I2), in("nOptimize", I2), in("nDither", I2), in("nNoBleed", I2)},
               None, e::ReduceColors));
    t.push_back(
        method(d::CreatePalette, "CreatePalette",
               {in("nColors", I2), arrayRef("pPaletteEntries", I4), in("nSystemColors", I2)}, None,
               e::CreatePalette));
    t.push_back(method(d::GetColorCountArray, "GetColorCountArray", {arrayRef("pCountArray", I4)},
                       None, e::GetColorCountArray));
    t.push_back(
        method(d::GetPalette, "GetPalette", {arrayRef("pPaletteArray", I4)}, None, e::GetPalette));
    t.push_back(method(d::WinG, "WinG", {in("nReserved", I2), arrayRef("pReservedEntries", I2)},
                       None, e::WinG));
    t.push_back(method(d::GetColor, "GetColor", {in("xLoc", I2), in("yLoc", I2)}, I4, e::GetColor));
    t.push_back(method(d::GetPalIndex, "GetPalIndex", {in("xLoc", I2), in("yLoc", I2)}, I2,
                       e::GetPalIndex));
    t.push_back(method(d::Blur, "Blur", {}, None, e::Blur));
    t.push_back(method(d::BrightCont, "BrightCont",
                       {in("nBrightPercent", R8), in("nContrastPercent", R8)}, None,
                       e::BrightCont));
    t.push_back(
        method(d::ExtractEdges, "ExtractEdges", {in("nMagnitude", I2)}, None, e::ExtractEdges));
    t.push_back(method(d::Gamma, "Gamma", {in("nMagnitude", R8)}, None, e::Gamma));
    t.push_back(method(d::GetScanLine, "GetScanLine", {in("nLine", I2), arrayRef("pScanLine", I4)},
                       None, e::GetScanLine));
    t.push_back(method(d::Init, "Init",
                       {in("nDepth", I2), in("nWidth", I2), in("nHeignt", I2), in("nColor", I4)},
                       None, e::Init));
    t.push_back(
        method(d::MapIndex, "MapIndex", {in("nSrc", I2), in("nDst", I2)}, None, e::MapIndex));
    t.push_back(method(d::MatrixFilter, "MatrixFilter",
                       {in("nMatrixSize", I2), arrayRef("pMatrix", I2), in("nScale", I2),
                        in("nNorm", I2), in("nOffset", I2)},
                       None, e::MatrixFilter));
    t.push_back(method(d::Mirror, "Mirror", {in("nHoriz", I2), in("nVert", I2)}, None, e::Mirror));
    t.push_back(method(d::Negate, "Negate", {}, None, e::Negate));
    t.push_back(
        method(d::Rotate, "Rotate", {in("nRadians", I2), in("nColor", I4)}, None, e::Rotate));
    t.push_back(method(d::Sharpen, "Sharpen", {in("nSharpness", I2)}, None, e::Sharpen));
    t.push_back(method(d::Soften, "Soften", {in("nSoftness", I2)}, None, e::Soften));
    t.push_back(method(d::MaskCopy, "MaskCopy", {in("pFromCntrl", Obj), in("pMaskCntrl", Obj)},
                       None, e::MaskCopy));
    t.push_back(method(d::BitmapToDib, "BitmapToDib", {in("hBitmap", I4)}, None, e::BitmapToDib));
    t.push_back(method(d::DibToBitmap, "DibToBitmap", {}, I4, e::DibToBitmap));
    t.push_back(
        method(d::DuplicateDib, "DuplicateDib", {in("nSelection", I2)}, I4, e::DuplicateDib));
    t.push_back(method(d::DuplicatePalette, "DuplicatePalette", {}, I4, e::DuplicatePalette));
    t.push_back(method(d::GetHorzSBHeight, "GetHorzSBHeight", {}, I2, e::GetHorzSBHeight));
    t.push_back(method(d::GetVertSBWidth, "GetVertSBWidth", {}, I2, e::GetVertSBWidth));
    t.push_back(
        method(d::ScreenToImageX, "ScreenToImageX", {in("xScreenLoc", I2)}, I2, e::ScreenToImageX));
    t.push_back(
        method(d::ScreenToImageY, "ScreenToImageY", {in("yScreenLoc", I2)}, I2, e::ScreenToImageY));
    t.push_back(method(d::Verify, "Verify", {in("hDib", I4)}, I2, e::Verify));
    struct ArcMember {
        DispId id;
        std::string_view name;
        MethodHandler handler;
    };
    for (const ArcMember& arc :
         {ArcMember{d::Arc, "Arc", e::Arc}, ArcMember{d::Chord, "Chord", e::Chord},
          ArcMember{d::Pie, "Pie", e::Pie}})
        t.push_back(method(
            arc.id, arc.name,
            {in("nX1", I2), in("nY1", I2), in("nX2", I2), in("nY2", I2), optional("nDestination")},
            None, arc.handler));
    t.push_back(method(d::Rect, "Rect", {optional("nDestination")}, None, e::Rect));
    t.push_back(method(d::RoundRect, "RoundRect",
                       {in("nWidth", I2), in("nHeight", I2), optional("nDestination")}, None,
                       e::RoundRect));
    t.push_back(method(d::TextDraw, "TextDraw", {optional("nDestination")}, None, e::TextDraw));
    t.push_back(method(d::OptimizePalFiles, "OptimizePalFiles",
                       {in("CntrlArray", VarType::Variant), in("nCntrls", I2),
                        in("FilesArray", VarType::Variant), in("nFiles", I2), in("nColors", I2)},
                       None, e::OptimizePalFiles));
    t.push_back(
        method(d::CopyClipboard, "CopyClipboard", {optional("option")}, None, e::CopyClipboard));
    t.push_back(
        method(d::PasteClipboard, "PasteClipboard", {optional("option")}, None, e::PasteClipboard));
    t.push_back(method(d::ErrorDump, "ErrorDump", {in("pFilename", Str)}, None, e::ErrorDump));
    t.push_back(method(d::TextHigh, "TextHigh", {}, I2, e::TextHigh));
    t.back().accessError = 20383;
    t.push_back(method(d::TextWide, "TextWide", {}, I2, e::TextWide));
    t.back().accessError = 20382;
    t.push_back(method(
        d::Polygon, "Polygon",
        {arrayRef("PointArray", I4), in("nPts", I2), in("nWinding", I2), optional("nDestination")},
        None, e::Polygon));
    t.push_back(method(d::PolyLine, "PolyLine",
                       {arrayRef("PointArray", I4), in("nPts", I2), optional("nDestination")}, None,
                       e::PolyLine));
    t.push_back(
        method(d::Scale, "Scale", {in("nScaleImage", I2), in("nScaleScreen", I2)}, None, e::Scale));
    t.push_back(method(d::PutScanLine, "PutScanLine",
                       {in("nLine", I2), arrayRef("pLine", I4), optional("nUpdate")}, None,
                       e::PutScanLine));
    t.push_back(method(d::Region, "Region",
                       {in("nType", I2), in("nLocation", I2), in("bEnabled", Bool),
                        in("bVisible", Bool), arrayRef("pPointsArray", I4), optional("nNumber")},
                       None, e::Region));
    t.push_back(method(d::RegionRb, "RegionRb",
                       {in("nType", I2), in("nLocation", I2), in("bEnabled", Bool)}, None,
                       e::RegionRb));
    t.push_back(regionProperty(d::RegionEnabled, "RegionEnabled", Bool, e::GetRegionEnabled,
                               e::SetRegionEnabled));
    t.push_back(regionProperty(d::RegionVisible, "RegionVisible", Bool, e::GetRegionVisible,
                               e::SetRegionVisible));
    t.push_back(regionProperty(d::RegionFillStyle, "RegionFillStyle", I2, e::GetRegionFillStyle,
                               e::SetRegionFillStyle, Range{0, 7, 20370}));
    t.push_back(regionProperty(d::RegionFillColor, "RegionFillColor", I4, e::GetRegionFillColor,
                               e::SetRegionFillColor));
    t.push_back(regionProperty(d::RegionRasterOp, "RegionRasterOp", I2, e::GetRegionRasterOp,
                               e::SetRegionRasterOp, Range{0, 15, 20399}));
    t.push_back(regionProperty(d::RegionFrameColor, "RegionFrameColor", I4, e::GetRegionFrameColor,
                               e::SetRegionFrameColor));
    t.push_back(regionProperty(d::RegionFrameWidth, "RegionFrameWidth", I2, e::GetRegionFrameWidth,
                               e::SetRegionFrameWidth));

    // The framework's stock members.
    t.push_back(method(d::Refresh, "Refresh", {}, None, e::Refresh));
    t.push_back(stored(d::BorderStyle, "BorderStyle", I2, i2(0)));
    t.push_back(stored(d::BackColor, "BackColor", I4, i4(static_cast<std::int32_t>(0x8000000F))));
    t.back().afterSet = e::InvalidateView;
    t.push_back({.id = d::Font,
                 .name = "Font",
                 .type = Obj,
                 .persisted = true,
                 .getter = e::GetFont,
                 .setter = e::SetFont,
                 .save = e::SaveFont,
                 .load = e::LoadFont});
    t.push_back(stored(d::Appearance, "Appearance", I2, i2(0)));
    t.push_back(stored(d::Enabled, "Enabled", Bool, Variant::Bool(true)));
    t.push_back(stored(d::ForeColor, "ForeColor", I4, i4(static_cast<std::int32_t>(0x80000012))));
    t.push_back({.id = d::hWnd,
                 .name = "hWnd",
                 .type = I4,
                 .set = SetRule::ReadOnly,
                 .getter = e::GetHWnd});
    t.push_back(stored(d::Text, "Text", Str, text()));
    t.push_back(method(d::AboutBox, "AboutBox", {}, None, e::AboutBox));
    return t;
}

}  // namespace

const std::vector<MemberRow>& MemberTable() {
    static const std::vector<MemberRow> table = buildTable();
    return table;
}

const MemberRow* FindMember(DispId id) {
    for (const MemberRow& m : MemberTable())
        if (m.id == id) return &m;
    return nullptr;
}

const MemberRow* FindMember(std::string_view name) {
    for (const MemberRow& m : MemberTable())
        if (platform::EqualsIgnoringCase(m.name, name)) return &m;
    return nullptr;
}

const std::vector<EventRow>& EventTable() {
    namespace ev = eventid;
    static const std::vector<EventRow> events = {
        {ev::Change, "Change", {}},
        {ev::Palette, "Palette", {}},
        {ev::Pan, "Pan", {}},
        {ev::Callback, "Callback", {{"Lines", VarType::I2, true, false, false}}},
        {ev::Paint, "Paint", {}},
        {ev::Click, "Click", {}},
        {ev::DblClick, "DblClick", {}},
        {ev::KeyDown, "KeyDown", {in("KeyCode", I2), in("Shift", I2)}},
        {ev::KeyPress, "KeyPress", {in("KeyAscii", I2)}},
        {ev::KeyUp, "KeyUp", {in("KeyCode", I2), in("Shift", I2)}},
        {ev::MouseDown, "MouseDown", {in("Button", I2), in("Shift", I2), in("x", I4), in("y", I4)}},
        {ev::MouseMove, "MouseMove", {in("Button", I2), in("Shift", I2), in("x", I4), in("y", I4)}},
        {ev::MouseUp, "MouseUp", {in("Button", I2), in("Shift", I2), in("x", I4), in("y", I4)}},
        {ev::Error,
         "Error",
         {in("Number", I2), in("Description", Str), in("Scode", I4), in("Source", Str),
          in("HelpFile", Str), in("HelpContext", I4), in("CancelDisplay", Bool)}},
    };
    return events;
}

const std::vector<DispId>& StockPersistenceOrder() {
    namespace d = dispid;
    static const std::vector<DispId> order = {
        d::Appearance, d::BackColor, d::BorderStyle, d::Enabled, d::Font, d::ForeColor, d::Text};
    return order;
}

const std::vector<DispId>& PersistenceOrder() {
    namespace d = dispid;
    static const std::vector<DispId> order = {
        d::AssignMode,
        d::AutoScale,
        d::AutoLoad,
        d::AutoSize,
        d::CallbackLines,
        d::DataField,
        d::DrawArrows,
        d::DrawStyle,
        d::DrawWidth,
        d::FileName,
        d::FillColor,
        d::FillStyle,
        d::FillTransparent,
        d::FontTransparent,
        d::ImageCompression,
        d::ImageFormat,
        d::ImageNumber,
        d::LoadCropHeight,
        d::LoadCropWidth,
        d::LoadCropX,
        d::LoadCropY,
        d::LoadFastest,
        d::LoadHeight,
        d::LoadOptions,
        d::LoadScale,
        d::LoadWidth,
        d::MouseIcon,
        d::MousePointer,
        d::PrintHeight,
        d::PrintLeft,
        d::PrintTop,
        d::PrintWidth,
        d::ResizeMode,
        d::ScaleImage,
        d::ScaleScreen,
        d::ScreenPalette,
        d::ScrollBars,
        d::ScrollBarsSmallChange,
        d::ScrollBarsLargeChange,
        d::SelectHeight,
        d::SelectLeft,
        d::SelectTop,
        d::SelectWidth,
        d::TextAlignment,
        d::TextAutoSize,
        d::TextExtLeading,
        d::TextMultiLine,
        d::WriteOption,
        d::WriteCompression,
        d::Xorigin,
        d::Yorigin,
    };
    return order;
}

}  // namespace pm32::control
