#include "deco/fif_layout.h"

#include <algorithm>
#include <cstring>

namespace deco {

ContrastTable defaultContrastTable() {
    ContrastTable table{};
    for (int code = 0; code < kContrastCodes; ++code)
        table[code] = static_cast<std::int16_t>((code - kFlatCode) * kContrastOne / 16);
    return table;
}

ContrastTable positiveContrastTable() {
    ContrastTable table{};
    for (int code = 0; code < kContrastCodes; ++code) {
        int step = code - kFlatCode;
        table[code] = static_cast<std::int16_t>(step >= 0 ? step * kContrastOne / 15
                                                          : step * kContrastOne / 32);
    }
    return table;
}

HeaderCheck checkHeader(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size < 6 || std::memcmp(data, kFifMagic, 4) != 0)
        return HeaderCheck::NotFif;
    bool newer = data[4] > kFormatMajor || (data[4] == kFormatMajor && data[5] > kFormatMinor);
    return newer ? HeaderCheck::Newer : HeaderCheck::Readable;
}

bool isPlainTableName(const std::string& name) {
    if (name.empty() || name.size() > kMaxTableName || name == "." || name == "..") return false;
    return std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-' || c == '_';
    });
}

std::optional<FifHeader> readHeader(const std::uint8_t* data, std::size_t size) {
    if (checkHeader(data, size) != HeaderCheck::Readable || size < kHeaderBytes)
        return std::nullopt;
    FifHeader header;
    header.major = data[4];
    header.minor = data[5];
    if ((data[6] & ~(kColorFlag | kSizeUnknownFlag)) != 0) return std::nullopt;
    header.color = (data[6] & kColorFlag) != 0;
    header.sizeUnknown = (data[6] & kSizeUnknownFlag) != 0;
    header.quality = data[7];
    header.width = readU16(data + 8);
    header.height = readU16(data + 10);
    if (header.width == 0 || header.height == 0 || header.width > 32767 || header.height > 32767)
        return std::nullopt;
    std::size_t nameLength = data[12];
    if (nameLength > kMaxTableName || size - kHeaderBytes < nameLength) return std::nullopt;
    header.tableName.assign(reinterpret_cast<const char*>(data + kHeaderBytes), nameLength);
    if (nameLength != 0 && !isPlainTableName(header.tableName)) return std::nullopt;
    header.planesOffset = kHeaderBytes + nameLength;
    return header;
}

void writeHeader(const FifHeader& header, std::vector<std::uint8_t>& out) {
    out.insert(out.end(), kFifMagic, kFifMagic + 4);
    out.push_back(static_cast<std::uint8_t>(header.major));
    out.push_back(static_cast<std::uint8_t>(header.minor));
    out.push_back(static_cast<std::uint8_t>((header.color ? kColorFlag : 0) |
                                            (header.sizeUnknown ? kSizeUnknownFlag : 0)));
    out.push_back(static_cast<std::uint8_t>(header.quality));
    appendU16(out, static_cast<std::uint32_t>(header.width));
    appendU16(out, static_cast<std::uint32_t>(header.height));
    out.push_back(static_cast<std::uint8_t>(header.tableName.size()));
    out.insert(out.end(), header.tableName.begin(), header.tableName.end());
}

std::optional<ContrastTable> readContrastTable(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr || size != 6 + 2 * kContrastCodes || std::memcmp(data, kFttMagic, 4) != 0 ||
        data[4] != kFormatMajor)
        return std::nullopt;
    ContrastTable table{};
    for (int code = 0; code < kContrastCodes; ++code) {
        auto factor = static_cast<std::int16_t>(readU16(data + 6 + 2 * code));
        // Factors beyond one would let the iteration grow without bound.
        if (factor < -kContrastOne || factor > kContrastOne) return std::nullopt;
        table[code] = factor;
    }
    if (table[kFlatCode] != 0) return std::nullopt;
    return table;
}

std::vector<std::uint8_t> writeContrastTable(const ContrastTable& table) {
    std::vector<std::uint8_t> out(kFttMagic, kFttMagic + 4);
    out.push_back(kFormatMajor);
    out.push_back(kFormatMinor);
    for (std::int16_t factor : table) appendU16(out, static_cast<std::uint16_t>(factor));
    return out;
}

}  // namespace deco
