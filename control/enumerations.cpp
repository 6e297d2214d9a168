#include "control/enumerations.h"

namespace pm32::control {
namespace {

constexpr EnumValue kAppearance[] = {{"Flat", 0}, {"ThreeD", 1}};
constexpr EnumValue kAssignMode[] = {
    {"AMTotal", 0}, {"AMUnion", 1}, {"AMIntersection", 2}, {"AMResize", 3}};
constexpr EnumValue kAutoLoad[] = {
    {"ALNone", 0, "0 - None"}, {"ALLoadFile", 1, "1 - Load File"}, {"ALEmbed", 2, "2 - Embed"}};
constexpr EnumValue kDrawArrows[] = {{"DANone", 0, "0 - None"},
                                     {"DAStart", 1, "1 - Arrow on start of line"},
                                     {"DAEnd", 2, "2 - Arrow on end of line"},
                                     {"DABoth", 3, "3 - Arrow on both ends of line"}};
constexpr EnumValue kDrawStyle[] = {{"DSSolid", 0, "0 - Solid"},
                                    {"DSDash", 1, "1 - Dash"},
                                    {"DSDot", 2, "2 - Dot"},
                                    {"DSDash_Dot", 3, "3 - Dash-Dot"},
                                    {"DSDash_Dot_Dot", 4, "4 - Dash-Dot-Dot"},
                                    {"DSTransparent", 5, "5 - Transparent"},
                                    {"DSInside_Fill", 6, "6 - Inside Fill"}};
constexpr EnumValue kDumpOption[] = {{"DOImagePalette", 0}, {"DOImage", 1}, {"DOPalette", 2}};
constexpr EnumValue kFillStyle[] = {{"FSSolid", 0, "0 - Solid"},
                                    {"FSTransparent", 1, "1 - Transparent"},
                                    {"FSHorizontal", 2, "2 - Horizontal Line"},
                                    {"FSVertical", 3, "3 - Vertical Line"},
                                    {"FSUpward", 4, "4 - Upward Diagonal"},
                                    {"FSDownward", 5, "5 - Downward Diagonal"},
                                    {"FSCross", 6, "6 - Cross"},
                                    {"FSDiagonal", 7, "7 - Diagonal Cross"}};
constexpr EnumValue kImageFormat[] = {
    {"IFUnused", 0}, {"IFTiff", 1}, {"IFTarga", 2},      {"IFBmp", 3}, {"IFGif", 4}, {"IFDib", 5},
    {"IFPcx", 6},    {"IFJpeg", 7}, {"IFPaintbrush", 8}, {"IFFif", 9}, {"IFPng", 10}};
constexpr EnumValue kLoadOptions[] = {{"LO24", 0}, {"LO8Dithered", 1}, {"LO8", 2}};
constexpr EnumValue kLoadScale[] = {
    {"LSFullScale", 0}, {"LSHalfScale", 1}, {"LSDoubleScale", 2}, {"LSIgnoreScale", 3}};
constexpr EnumValue kMousePointer[] = {{"MPDefault", 0},  {"MPArrow", 1},      {"MPCross", 2},
                                       {"MPIBeam", 3},    {"MPIcon", 4},       {"MPSize", 5},
                                       {"MPSizeNESW", 6}, {"MPSizeNS", 7},     {"MPSizeNWSE", 8},
                                       {"MPSizeEW", 9},   {"MPUpArrow", 10},   {"MPHourglass", 11},
                                       {"MPNoDrop", 12},  {"MPArrowHour", 13}, {"MPArrowQuest", 14},
                                       {"MPSizeAll", 15}, {"MPCustom", 16}};
constexpr EnumValue kRegionType[] = {
    {"RTRect", 0}, {"RTRoundRect", 1}, {"RTEllipse", 2}, {"RTPolygon", 3}};
constexpr EnumValue kRasterOp[] = {
    {"RO_BLACK", 0},      {"RO_NOTMERGEPEN", 1},  {"RO_MASKNOTPEN", 2}, {"RO_NOTCOPYPEN", 3},
    {"RO_MASKPENNOT", 4}, {"RO_NOT", 5},          {"RO_XORPEN", 6},     {"RO_NOTMASKPEN", 7},
    {"RO_MASKPEN", 8},    {"RO_NOTXORPEN", 9},    {"RO_NOP", 10},       {"RO_MERGENOTPEN", 11},
    {"RO_COPYPEN", 12},   {"RO_MERGEPENNOT", 13}, {"RO_MERGEPEN", 14},  {"RO_WHITE", 15}};
constexpr EnumValue kResizeMode[] = {{"RMDeletedFixed", 0},
                                     {"RMDeletedVariable", 1},
                                     {"RMResampleFixed", 2},
                                     {"RMResampleVariable", 3}};
constexpr EnumValue kScrollBars[] = {{"SBNone", 0, "0 - None"},
                                     {"SBHorizontal", 1, "1 - HORIZ"},
                                     {"SBVertical", 2, "2 - VERT"},
                                     {"SBBoth", 3, "3 - BOTH"}};
// The information text calls alignment 2 centred although its published name
// says vertical; both are kept as they are shown.
constexpr EnumValue kTextAlignment[] = {{"TALeft", 0, "0 - Left Justify"},
                                        {"TARight", 1, "1 - Right Justify"},
                                        {"TAVertical", 2, "2 - Center"}};
constexpr EnumValue kWriteOption[] = {
    {"WONone", 0, "0 - None"},
    {"WOProgressive", 1, "1 - Progressive"},
    {"WOGrayscale8bit", 2, "2 - 8 bit Grayscale"},
    {"WOProgressiveGrayscale8bit", 3, "3 - Progressive & 8 bit Grayscale"}};

}  // namespace

namespace enums {
const Enumeration Appearance{"enumAppearance", kAppearance};
const Enumeration AssignMode{"enumAssignMode", kAssignMode};
const Enumeration AutoLoad{"enumAutoLoad", kAutoLoad};
const Enumeration DrawArrows{"enumDrawArrows", kDrawArrows};
const Enumeration DrawStyle{"enumDrawStyle", kDrawStyle};
const Enumeration DumpOption{"enumDumpOption", kDumpOption};
const Enumeration FillStyle{"enumFillStyle", kFillStyle};
const Enumeration ImageFormat{"enumImageFormat", kImageFormat};
const Enumeration LoadOptions{"enumLoadOptions", kLoadOptions};
const Enumeration LoadScale{"enumLoadScale", kLoadScale};
const Enumeration MousePointer{"enumMousePointer", kMousePointer};
const Enumeration RegionType{"enumRegionType", kRegionType};
const Enumeration RasterOp{"enumRasterOp", kRasterOp};
const Enumeration ResizeMode{"enumResizeMode", kResizeMode};
const Enumeration ScrollBars{"enumScrollBars", kScrollBars};
const Enumeration TextAlignment{"enumTextAlignment", kTextAlignment};
const Enumeration WriteOption{"enumWriteOption", kWriteOption};
}  // namespace enums

std::string_view InfoTextOf(const Enumeration& enumeration, std::int32_t value) {
    for (const EnumValue& v : enumeration.values)
        if (v.value == value && !v.infoText.empty()) return v.infoText;
    return "? - Undefined";
}

std::span<const Enumeration* const> Enumerations() {
    static const Enumeration* const all[] = {
        &enums::Appearance,  &enums::AssignMode, &enums::AutoLoad,     &enums::DrawArrows,
        &enums::DrawStyle,   &enums::DumpOption, &enums::FillStyle,    &enums::ImageFormat,
        &enums::LoadOptions, &enums::LoadScale,  &enums::MousePointer, &enums::RegionType,
        &enums::RasterOp,    &enums::ResizeMode, &enums::ScrollBars,   &enums::TextAlignment,
        &enums::WriteOption};
    return all;
}

}  // namespace pm32::control
