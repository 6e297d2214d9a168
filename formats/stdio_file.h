#pragma once

#include <cstdio>
#include <memory>
#include <string>

namespace pm32 {

struct StdioCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A C stream for the libraries that read and write through stdio; closed
// when the guard goes.
using StdioFile = std::unique_ptr<std::FILE, StdioCloser>;

// mode is "rb" or "wb"; the stream is not inherited by child processes.
inline StdioFile openStdio(const std::string& path, const char* mode) {
    std::string flags = std::string(mode) + "e";
    return StdioFile(std::fopen(path.c_str(), flags.c_str()));
}

// Closes the stream now; false when buffered bytes could not be written.
inline bool closeStdio(StdioFile& file) { return std::fclose(file.release()) == 0; }

}  // namespace pm32
