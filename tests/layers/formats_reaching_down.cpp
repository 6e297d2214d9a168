// A formats source that uses only its own and lower layers; it must compile
// with the same command, so the refusal above is the layering and nothing else.
#include "engine/zdib.h"
#include "formats/bmp.h"
#include "platform/global_memory.h"
