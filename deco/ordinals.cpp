#include <new>
#include <type_traits>

#include "deco/deco32.h"
#include "deco/decoder_session.h"
#include "deco/fif_layout.h"
#include "deco/library_version.h"

// Each ordinal catches everything: nothing may leave the library but a result.
namespace {

constexpr std::int32_t kOk = 0;
constexpr std::int32_t kFailed = 1;

deco::DecoderSession* session(void* decoder) { return static_cast<deco::DecoderSession*>(decoder); }

template <typename Body>
auto guarded(void* decoder, Body body) -> decltype(body(*session(decoder))) {
    if (decoder == nullptr) return kFailed;
    try {
        return body(*session(decoder));
    } catch (...) {
        return kFailed;
    }
}

std::int32_t result(bool ok) { return ok ? kOk : kFailed; }

std::int32_t create(void** decoder) {
    if (decoder == nullptr) return kFailed;
    *decoder = new (std::nothrow) deco::DecoderSession;
    return *decoder == nullptr ? kFailed : kOk;
}

std::int32_t destroy(void* decoder) {
    delete session(decoder);
    return kOk;
}

std::int32_t open(void* decoder, const std::uint8_t* data, std::uint32_t size) {
    return guarded(decoder, [&](deco::DecoderSession& s) {
        return result(data != nullptr && s.open(data, size));
    });
}

std::int16_t setTable(void* decoder, const std::uint8_t* data, std::uint32_t size) {
    return static_cast<std::int16_t>(
        guarded(decoder, [&](deco::DecoderSession& s) { return result(s.setTable(data, size)); }));
}

std::int32_t storedSize(void* decoder, std::int32_t* width, std::int32_t* height,
                        std::int32_t* extra) {
    if (width == nullptr || height == nullptr || extra == nullptr) return kFailed;
    return guarded(decoder, [&](deco::DecoderSession& s) {
        return result(s.storedSize(*width, *height, *extra));
    });
}

std::int32_t setOutputSize(void* decoder, std::int32_t width, std::int32_t height) {
    return guarded(decoder,
                   [&](deco::DecoderSession& s) { return result(s.setOutputSize(width, height)); });
}

std::int32_t setOutputFormat(void* decoder, std::int32_t kind, std::int32_t red, std::int32_t green,
                             std::int32_t blue, std::int32_t bottomUp) {
    return guarded(decoder, [&](deco::DecoderSession& s) {
        return result(s.setOutputFormat(kind, red, green, blue, bottomUp));
    });
}

std::int16_t decode(void* decoder, std::uint8_t* firstRow, std::int32_t cropX, std::int32_t cropY,
                    std::int32_t cropWidth, std::int32_t cropHeight, std::int32_t stride) {
    if (decoder == nullptr) return kFailed;
    try {
        return session(decoder)->decode(firstRow, cropX, cropY, cropWidth, cropHeight, stride);
    } catch (...) {
        return kFailed;
    }
}

std::int16_t tableName(void* decoder, char* name) {
    return static_cast<std::int16_t>(
        guarded(decoder, [&](deco::DecoderSession& s) { return result(s.tableName(name)); }));
}

std::int32_t clearProgress(void* decoder) {
    return guarded(decoder, [&](deco::DecoderSession& s) {
        s.setProgress(nullptr, 0);
        return kOk;
    });
}

std::int32_t setProgress(void* decoder, DecoProgress callback, std::int32_t mode) {
    if (callback == nullptr || (mode != 1 && mode != 2)) return kFailed;
    return guarded(decoder, [&](deco::DecoderSession& s) {
        s.setProgress(callback, mode);
        return kOk;
    });
}

std::int32_t fastestSize(void* decoder, std::int32_t* width, std::int32_t* height) {
    if (width == nullptr || height == nullptr) return kFailed;
    return guarded(decoder,
                   [&](deco::DecoderSession& s) { return result(s.fastestSize(*width, *height)); });
}

std::int32_t setDither(void* decoder, std::int32_t dither, std::int32_t red, std::int32_t green,
                       std::int32_t blue) {
    return guarded(decoder, [&](deco::DecoderSession& s) {
        return result(s.setDither(dither, red, green, blue));
    });
}

std::int32_t colorTable(void* decoder, std::uint8_t* entries) {
    return guarded(decoder, [&](deco::DecoderSession& s) { return result(s.colorTable(entries)); });
}

std::int32_t setPalette(void* decoder, std::uint32_t colors, std::int32_t first,
                        std::int32_t count) {
    return guarded(decoder, [&](deco::DecoderSession& s) {
        return result(s.setPalette(colors, first, count));
    });
}

std::int32_t fixedPalette(void* decoder, std::int32_t which) {
    return guarded(decoder,
                   [&](deco::DecoderSession& s) { return result(s.useFixedPalette(which)); });
}

std::int32_t version(std::int32_t* major, std::int32_t* minor) {
    if (major == nullptr || minor == nullptr) return kFailed;
    *major = deco::kLibraryMajor;
    *minor = deco::kLibraryMinor;
    return kOk;
}

std::int32_t checkFile(const std::uint8_t* data, std::uint32_t size, std::uint8_t* isFif) {
    if (isFif == nullptr) return kFailed;
    deco::HeaderCheck check = deco::checkHeader(data, size);
    *isFif = check == deco::HeaderCheck::NotFif ? 0 : 1;
    return check == deco::HeaderCheck::Newer ? kFailed : kOk;
}

// The table below hands these out as the types callers cast them back to.
static_assert(std::is_same_v<decltype(&create), DecoCreate>);
static_assert(std::is_same_v<decltype(&destroy), DecoFree>);
static_assert(std::is_same_v<decltype(&open), DecoOpen>);
static_assert(std::is_same_v<decltype(&setTable), DecoSetTable>);
static_assert(std::is_same_v<decltype(&storedSize), DecoStoredSize>);
static_assert(std::is_same_v<decltype(&setOutputSize), DecoSetOutputSize>);
static_assert(std::is_same_v<decltype(&setOutputFormat), DecoSetOutputFormat>);
static_assert(std::is_same_v<decltype(&decode), DecoDecode>);
static_assert(std::is_same_v<decltype(&tableName), DecoTableName>);
static_assert(std::is_same_v<decltype(&clearProgress), DecoClearProgress>);
static_assert(std::is_same_v<decltype(&setProgress), DecoSetProgress>);
static_assert(std::is_same_v<decltype(&fastestSize), DecoFastestSize>);
static_assert(std::is_same_v<decltype(&setDither), DecoSetDither>);
static_assert(std::is_same_v<decltype(&colorTable), DecoColorTable>);
static_assert(std::is_same_v<decltype(&setPalette), DecoSetPalette>);
static_assert(std::is_same_v<decltype(&fixedPalette), DecoFixedPalette>);
static_assert(std::is_same_v<decltype(&version), DecoVersion>);
static_assert(std::is_same_v<decltype(&checkFile), DecoCheckFile>);

template <typename Function>
DecoProc proc(Function* function) {
    return reinterpret_cast<DecoProc>(function);
}

}  // namespace

extern "C" __attribute__((visibility("default"))) DecoProc deco32_ordinal(std::int32_t ordinal) {
    switch (ordinal) {
        case 1:
            return proc(&create);
        case 2:
            return proc(&destroy);
        case 3:
            return proc(&open);
        case 5:
            return proc(&setTable);
        case 9:
            return proc(&storedSize);
        case 11:
            return proc(&setOutputSize);
        case 13:
            return proc(&setOutputFormat);
        case 14:
            return proc(&decode);
        case 15:
            return proc(&tableName);
        case 16:
            return proc(&clearProgress);
        case 17:
            return proc(&setProgress);
        case 18:
            return proc(&fastestSize);
        case 20:
            return proc(&setDither);
        case 23:
            return proc(&colorTable);
        case 24:
            return proc(&setPalette);
        case 26:
            return proc(&fixedPalette);
        case 27:
            return proc(&version);
        case 28:
            return proc(&checkFile);
        default:
            return nullptr;
    }
}
