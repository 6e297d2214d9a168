#include "platform/replacement_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <climits>
#include <cstdint>

#include "platform/file_descriptor.h"

namespace pm32::platform {
namespace {

// The kernel gives up on a chain of links after as many.
constexpr int kMostLinks = 40;
constexpr int kNameAttempts = 100;
// Narrowed by the umask, as a plain create is.
constexpr mode_t kNewFileMode = 0644;
// Leaves room for the dot, the tag and ".part" within a 255-byte name.
constexpr std::size_t kMostNameBytes = 200;
constexpr std::size_t kCopyPieceBytes = 32768;

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string inFolder(const std::string& folder, const std::string& name) {
    std::string path = folder == "/" ? std::string() : folder;
    path += '/';
    path += name;
    return path;
}

// Follows symbolic links from path to the name of the file they lead to, which
// need not exist yet. 0 or an errno value.
int followLinks(std::string& path) {
    for (int hop = 0; hop < kMostLinks; ++hop) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return 0;
        std::array<char, PATH_MAX> link;
        ssize_t length = ::readlink(path.c_str(), link.data(), link.size());
        if (length < 0) return errno;
        if (length == 0) return ENOENT;
        if (static_cast<std::size_t>(length) == link.size()) return ENAMETOOLONG;
        std::string destination(link.data(), static_cast<std::size_t>(length));
        path = destination.front() == '/' ? destination : inFolder(folderOf(path), destination);
    }
    return ELOOP;
}

// Six letters or digits from the system's random source; false when it fails.
bool randomTag(std::string& tag) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::array<std::uint8_t, 6> bytes{};
    if (::getrandom(bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        return false;
    tag.clear();
    for (std::uint8_t byte : bytes) tag += kAlphabet[byte % (sizeof kAlphabet - 1)];
    return true;
}

// Copies everything from the current position of from to to. 0 or an errno value.
int copyAll(int from, int to) {
    std::array<std::uint8_t, kCopyPieceBytes> piece;
    for (;;) {
        ssize_t got = ::read(from, piece.data(), piece.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) return 0;
        for (ssize_t done = 0; done < got;) {
            ssize_t put = ::write(to, piece.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return put < 0 ? errno : EIO;
            done += put;
        }
    }
}

// The rename is an entry of the folder: syncing the folder makes the
// replacement survive a power loss. The target is replaced either way.
void syncFolder(const std::string& folder) {
    FileDescriptor fd(folder, O_RDONLY | O_DIRECTORY);
    if (fd) ::fsync(fd.get());
}

}  // namespace

ReplacementFile::ReplacementFile(const std::string& target, Start start) {
    ready_ = setUp(target, start);
}

ReplacementFile::~ReplacementFile() { discard(); }

bool ReplacementFile::setUp(std::string target, Start start) {
    if (target.empty()) return fail(ENOENT);
    if (int error = followLinks(target)) return fail(error);
    const std::string name = nameOf(target);
    if (name.empty()) return fail(EISDIR);
    struct stat info {};
    const bool exists = ::stat(target.c_str(), &info) == 0;
    if (!exists && errno != ENOENT) return fail(errno);
    if (exists && S_ISDIR(info.st_mode)) return fail(EISDIR);
    if (!exists && start == Start::TargetCopy) return fail(ENOENT);
    target_ = target;
    if (exists && !S_ISREG(info.st_mode)) {
        inPlace_ = true;
        path_ = target;
        return true;
    }

    const bool copying = exists && start != Start::Empty;
    // Opening the old file first refuses one the caller may not write, as
    // writing it directly would.
    FileDescriptor old = exists ? FileDescriptor(target, (copying ? O_RDWR : O_WRONLY) | O_NOCTTY)
                                : FileDescriptor();
    if (exists && !old) return fail(errno);
    if (!createBeside(folderOf(target), name)) return false;
    if (!exists) return true;
    // Only the superuser can give a file away; anyone else owns the new file
    // and keeps the old group where they belong to it.
    const bool superuser = ::geteuid() == 0;
    if (::fchown(fd_, superuser ? info.st_uid : static_cast<uid_t>(-1), info.st_gid) != 0 &&
        superuser)
        return fail(errno);
    if (::fchmod(fd_, info.st_mode & 07777) != 0) return fail(errno);
    if (copying) {
        if (int error = copyAll(old.get(), fd_)) return fail(error);
    }
    return true;
}

bool ReplacementFile::createBeside(const std::string& folder, const std::string& name) {
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string tag;
        if (!randomTag(tag)) return fail(errno);
        std::string leaf = ".";
        leaf.append(name, 0, kMostNameBytes);
        leaf += '.';
        leaf += tag;
        leaf += ".part";
        const std::string path = inFolder(folder, leaf);
        int fd =
            ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, kNewFileMode);
        if (fd >= 0) {
            fd_ = fd;
            path_ = path;
            return true;
        }
        if (errno != EEXIST) return fail(errno);
    }
    return fail(EEXIST);
}

bool ReplacementFile::fail(int error) {
    discard();
    error_ = error;
    return false;
}

void ReplacementFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
        ::unlink(path_.c_str());
    }
    path_.clear();
    ready_ = false;
}

bool ReplacementFile::Commit() {
    if (!ready_) return false;
    if (inPlace_) {
        ready_ = false;
        return true;
    }
    if (::fsync(fd_) != 0) return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(path_.c_str());
        return fail(error);
    }
    if (::rename(path_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        ::unlink(path_.c_str());
        return fail(error);
    }
    path_.clear();
    ready_ = false;
    syncFolder(folderOf(target_));
    return true;
}

}  // namespace pm32::platform
