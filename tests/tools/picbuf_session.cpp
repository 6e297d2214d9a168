#include "tests/tools/picbuf_session.h"

#include <sstream>

#include "tools/picbuf/picbuf.h"

namespace pm32::tools {

Session run(std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    int status = RunPicbuf(args, out, err);
    return {status, out.str(), err.str()};
}

}  // namespace pm32::tools
