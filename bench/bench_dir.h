#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace pm32::bench {

// A private directory holding a benchmark's files, removed at exit.
class BenchDir {
  public:
    explicit BenchDir(const std::string& name) {
        std::string pattern = "/tmp/pm32-" + name + "-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) std::abort();
        root_ = pattern;
    }
    ~BenchDir() { std::filesystem::remove_all(root_); }
    BenchDir(const BenchDir&) = delete;
    BenchDir& operator=(const BenchDir&) = delete;

    std::string path(const std::string& file) const { return root_ + "/" + file; }

  private:
    std::string root_;
};

}  // namespace pm32::bench
