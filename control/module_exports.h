#pragma once

extern "C" {

// The module's version text, "1.0.1.13", for loaders that check what they got.
const char* pm32_module_version();
}
