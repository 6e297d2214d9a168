#pragma once

// What the toolkit's own programs (picbuf, vstl32) reach in libpm32 beyond the
// interface offered to other programs. They ship with this very library, so
// these symbols carry the version PM32_PRIVATE and no installed header
// declares them.
#define PM32_TOOLKIT_API __attribute__((visibility("default")))
