#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace pm32::platform {

struct StdioCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A C stream, for the libraries that read and write through stdio and for
// text dumps; closed when the guard goes.
using StdioFile = std::unique_ptr<std::FILE, StdioCloser>;

// mode is an fopen mode ("rb", "wb", "a", ...); the stream is not inherited
// by child processes.
inline StdioFile openStdio(const std::string& path, const char* mode) {
    std::string flags = std::string(mode) + "e";
    return StdioFile(std::fopen(path.c_str(), flags.c_str()));
}

// Closes the stream now; false when any write failed, buffered bytes included.
inline bool closeStdio(StdioFile& file) {
    const bool clean = std::ferror(file.get()) == 0;
    return std::fclose(file.release()) == 0 && clean;
}

}  // namespace pm32::platform
