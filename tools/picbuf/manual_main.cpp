#include <iostream>

#include "tools/picbuf/manual_page.h"

// Writes picbuf's manual page; the build runs it to make picbuf.1.
int main() {
    std::cout << pm32::tools::ManualPage();
    return std::cout.good() ? 0 : 1;
}
