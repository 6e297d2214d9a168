#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pm32::test {

// A fresh directory removed with everything in it when the guard goes.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string path(const std::string& name) const { return root_ + "/" + name; }

  private:
    std::string root_;
};

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes);
void writeText(const std::string& path, const std::string& text);
std::vector<std::uint8_t> readFile(const std::string& path);
std::string readText(const std::string& path);

}  // namespace pm32::test
