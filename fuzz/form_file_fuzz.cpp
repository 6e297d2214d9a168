#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "tools/picbuf/container.h"
#include "tools/picbuf/form_file.h"

// A form file is text from anywhere: it loads into the controls of a run or
// is refused with a reason, and a form the controls write loads back to
// the same form.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pm32::tools::Container container(2, true, nullptr);
    try {
        pm32::tools::LoadForm(std::string_view(reinterpret_cast<const char*>(data), size),
                              container.controls());
    } catch (const pm32::tools::FormError&) {
        return 0;
    }
    const std::string form = pm32::tools::FormText(container.controls());
    pm32::tools::Container again(2, true, nullptr);
    pm32::tools::LoadForm(form, again.controls());
    if (pm32::tools::FormText(again.controls()) != form) std::abort();
    return 0;
}
