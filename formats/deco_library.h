#pragma once

#include "deco/deco32.h"
#include "engine/errors.h"

namespace pm32 {

// The functions of the fractal decoder library that the FIF reader calls, by
// the ordinal each is handed out under.
struct DecoFunctions {
    DecoCreate create = nullptr;                    // 1
    DecoFree free = nullptr;                        // 2
    DecoOpen open = nullptr;                        // 3
    DecoSetTable setTable = nullptr;                // 5
    DecoStoredSize storedSize = nullptr;            // 9
    DecoSetOutputSize setOutputSize = nullptr;      // 11
    DecoSetOutputFormat setOutputFormat = nullptr;  // 13
    DecoDecode decode = nullptr;                    // 14
    DecoTableName tableName = nullptr;              // 15
    DecoSetProgress setProgress = nullptr;          // 17
    DecoFastestSize fastestSize = nullptr;          // 18
    DecoSetDither setDither = nullptr;              // 20
    DecoColorTable colorTable = nullptr;            // 23
    DecoSetPalette setPalette = nullptr;            // 24
    DecoFixedPalette fixedPalette = nullptr;        // 26
    DecoVersion version = nullptr;                  // 27
    DecoCheckFile checkFile = nullptr;              // 28
};

// The decoder library, loaded for as long as the object lives: from the path
// in PIXMILL_DECO, else libdeco32.so beside the module holding the engine,
// else through the system's library search. No library found is 20159 "Can't
// find DECO.DLL"; one that does not load or lacks an ordinal is 20160 "Bad
// DECO.DLL".
class DecoLibrary {
  public:
    DecoLibrary();
    ~DecoLibrary();
    DecoLibrary(const DecoLibrary&) = delete;
    DecoLibrary& operator=(const DecoLibrary&) = delete;

    ErrorNumber error() const { return error_; }
    const DecoFunctions& functions() const { return functions_; }

  private:
    void* handle_ = nullptr;
    ErrorNumber error_ = 0;
    DecoFunctions functions_;
};

}  // namespace pm32
