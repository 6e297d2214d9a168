#pragma once

#include <functional>
#include <string>

#include "engine/zdib.h"
#include "formats/engine_file.h"

namespace pm32 {

// The frame of every file reader: the record is emptied, a file that cannot
// be opened gives 20100, and a failed decode leaves the record empty with its
// number, so no partial image is ever kept.
void LoadThrough(ZDib& image, const std::string& path,
                 const std::function<ErrorNumber(EngineFile& file)>& decode);

}  // namespace pm32
