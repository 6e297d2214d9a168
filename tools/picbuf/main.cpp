#include <iostream>
#include <string>
#include <vector>

#include "tools/picbuf/picbuf.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return pm32::tools::RunPicbuf(args, std::cout, std::cerr);
}
