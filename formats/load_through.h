#pragma once

#include <functional>
#include <string>

#include "engine/zdib.h"
#include "formats/engine_file.h"

namespace pm32 {

// The frame of every file reader: the record is emptied first, and a failed
// decode leaves it empty with its number, so no partial image is ever kept.
void LoadWhole(ZDib& image, const std::function<ErrorNumber()>& decode);

// The frame for readers of an engine file: as above, and a file that cannot be
// opened gives err::FileMissing.
void LoadThrough(ZDib& image, const std::string& path,
                 const std::function<ErrorNumber(EngineFile& file)>& decode);

}  // namespace pm32
