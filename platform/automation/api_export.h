#pragma once

// What libpm32 offers other programs; everything else it keeps to itself (the
// library is built with hidden visibility).
#define PM32_API __attribute__((visibility("default")))
