#include "control/type_description.h"

#include "control/identity.h"
#include "control/member_row.h"

namespace pm32::control {
namespace {

using automation::EnumInfo;
using automation::MemberInfo;

std::vector<EnumInfo> publishedEnums() {
    return {
        {"enumAppearance", {{"Flat", 0}, {"ThreeD", 1}}},
        {"enumAssignMode",
         {{"AMTotal", 0}, {"AMUnion", 1}, {"AMIntersection", 2}, {"AMResize", 3}}},
        {"enumAutoLoad", {{"ALNone", 0}, {"ALLoadFile", 1}, {"ALEmbed", 2}}},
        {"enumDrawArrows", {{"DANone", 0}, {"DAStart", 1}, {"DAEnd", 2}, {"DABoth", 3}}},
        {"enumDrawStyle",
         {{"DSSolid", 0},
          {"DSDash", 1},
          {"DSDot", 2},
          {"DSDash_Dot", 3},
          {"DSDash_Dot_Dot", 4},
          {"DSTransparent", 5},
          {"DSInside_Fill", 6}}},
        {"enumDumpOption", {{"DOImagePalette", 0}, {"DOImage", 1}, {"DOPalette", 2}}},
        {"enumFillStyle",
         {{"FSSolid", 0},
          {"FSTransparent", 1},
          {"FSHorizontal", 2},
          {"FSVertical", 3},
          {"FSUpward", 4},
          {"FSDownward", 5},
          {"FSCross", 6},
          {"FSDiagonal", 7}}},
        {"enumImageFormat",
         {{"IFUnused", 0},
          {"IFTiff", 1},
          {"IFTarga", 2},
          {"IFBmp", 3},
          {"IFGif", 4},
          {"IFDib", 5},
          {"IFPcx", 6},
          {"IFJpeg", 7},
          {"IFPaintbrush", 8},
          {"IFFif", 9},
          {"IFPng", 10}}},
        {"enumLoadOptions", {{"LO24", 0}, {"LO8Dithered", 1}, {"LO8", 2}}},
        {"enumLoadScale",
         {{"LSFullScale", 0}, {"LSHalfScale", 1}, {"LSDoubleScale", 2}, {"LSIgnoreScale", 3}}},
        {"enumMousePointer",
         {{"MPDefault", 0},
          {"MPArrow", 1},
          {"MPCross", 2},
          {"MPIBeam", 3},
          {"MPIcon", 4},
          {"MPSize", 5},
          {"MPSizeNESW", 6},
          {"MPSizeNS", 7},
          {"MPSizeNWSE", 8},
          {"MPSizeEW", 9},
          {"MPUpArrow", 10},
          {"MPHourglass", 11},
          {"MPNoDrop", 12},
          {"MPArrowHour", 13},
          {"MPArrowQuest", 14},
          {"MPSizeAll", 15},
          {"MPCustom", 16}}},
        {"enumRegionType", {{"RTRect", 0}, {"RTRoundRect", 1}, {"RTEllipse", 2}, {"RTPolygon", 3}}},
        {"enumRasterOp",
         {{"RO_BLACK", 0},
          {"RO_NOTMERGEPEN", 1},
          {"RO_MASKNOTPEN", 2},
          {"RO_NOTCOPYPEN", 3},
          {"RO_MASKPENNOT", 4},
          {"RO_NOT", 5},
          {"RO_XORPEN", 6},
          {"RO_NOTMASKPEN", 7},
          {"RO_MASKPEN", 8},
          {"RO_NOTXORPEN", 9},
          {"RO_NOP", 10},
          {"RO_MERGENOTPEN", 11},
          {"RO_COPYPEN", 12},
          {"RO_MERGEPENNOT", 13},
          {"RO_MERGEPEN", 14},
          {"RO_WHITE", 15}}},
        {"enumResizeMode",
         {{"RMDeletedFixed", 0},
          {"RMDeletedVariable", 1},
          {"RMResampleFixed", 2},
          {"RMResampleVariable", 3}}},
        {"enumScrollBars", {{"SBNone", 0}, {"SBHorizontal", 1}, {"SBVertical", 2}, {"SBBoth", 3}}},
        {"enumTextAlignment", {{"TALeft", 0}, {"TARight", 1}, {"TAVertical", 2}}},
        {"enumWriteOption",
         {{"WONone", 0},
          {"WOProgressive", 1},
          {"WOGrayscale8bit", 2},
          {"WOProgressiveGrayscale8bit", 3}}},
    };
}

automation::TypeInfo build() {
    automation::TypeInfo info;
    info.name = "Picbuf";
    info.progId = kProgId;
    info.classId = kClassId;
    info.interfaceId = kDispatchInterfaceId;
    info.eventInterfaceId = kEventInterfaceId;
    info.typeLibraryId = kTypeLibraryId;
    info.typeLibraryVersion = kTypeLibraryVersion;
    for (const MemberRow& row : MemberTable()) {
        MemberInfo member;
        member.id = row.id;
        member.name = row.name;
        member.kind = row.kind;
        member.type = row.type;
        member.params = row.params;
        if (row.kind == MemberKind::Property) {
            member.readable = row.get != GetRule::None;
            member.writable = row.set != SetRule::ReadOnly;
        }
        info.members.push_back(std::move(member));
    }
    for (const EventRow& row : EventTable())
        info.events.push_back({row.id, std::string(row.name), MemberKind::Event, VarType::Empty,
                               row.params, false, false});
    info.enums = publishedEnums();
    return info;
}

}  // namespace

const automation::TypeInfo& PicbufTypeInfo() {
    static const automation::TypeInfo info = build();
    return info;
}

}  // namespace pm32::control
