#include "fuzz/fuzz_input_file.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/global_memory.h"

namespace pm32::fuzz {

FuzzInputFile::FuzzInputFile(const std::uint8_t* data, std::size_t size,
                             const std::string& extension) {
    std::string pattern = "/tmp/pm32-fuzz-" + std::to_string(::getpid()) + extension;
    path_ = pattern;
    std::FILE* out = std::fopen(path_.c_str(), "wb");
    if (out == nullptr) std::abort();
    if (size != 0 && std::fwrite(data, 1, size, out) != size) std::abort();
    std::fclose(out);
}

FuzzInputFile::~FuzzInputFile() { std::remove(path_.c_str()); }

bool sameBlocks(platform::HGLOBAL a, platform::HGLOBAL b) {
    platform::Locked first(a);
    platform::Locked second(b);
    return first && second && first.size() == second.size() &&
           std::memcmp(first.data(), second.data(), first.size()) == 0;
}

void limitBlockSizes() { platform::SetBlockSizeLimit(std::size_t{256} << 20); }

}  // namespace pm32::fuzz
