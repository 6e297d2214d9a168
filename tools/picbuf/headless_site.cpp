#include "tools/picbuf/headless_site.h"

namespace pm32::tools {

HeadlessSite::HeadlessSite(bool userMode, automation::EventSink* events)
    : userMode_(userMode), events_(events), window_(platform::RegisterWindow([] {})) {}

HeadlessSite::~HeadlessSite() { platform::UnregisterWindow(window_); }

}  // namespace pm32::tools
