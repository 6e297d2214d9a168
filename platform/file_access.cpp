#include "platform/file_access.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace pm32::platform {

int ReadRefusal(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return errno;
    if (S_ISDIR(status.st_mode)) return EISDIR;
    const int file = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) return errno;
    ::close(file);
    return 0;
}

int WriteRefusal(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) return EISDIR;
        return ::access(path.c_str(), W_OK) != 0 ? errno : 0;
    }
    if (errno != ENOENT) return errno;
    // A new file needs a folder that exists and takes it.
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    return ::access(folder.c_str(), W_OK | X_OK) != 0 ? errno : 0;
}

}  // namespace pm32::platform
