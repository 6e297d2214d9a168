#pragma once

#include <string>

namespace pm32::platform {

// A file written beside its target and put in the target's place only when
// committed, so a store that fails half way leaves the old file exactly as it
// was (or still absent). The writer writes to Path(): a new file named
// ".<name>.XXXXXX.part" in the target's folder, which destruction without a
// commit removes; a crash leaves it behind as an obvious leftover, never a
// half-written target.
//
// A target that is a symbolic link is replaced at the file the link names, so
// the link stays. An existing target keeps its permissions, and its group
// where the caller may set it (the superuser keeps the owner too); a target
// the caller may not write is refused as a direct write would be. Other hard links to the old file
// keep the old contents. A target that exists but is no regular file (a device, a pipe) has no
// contents to keep: Path() then names it and the writer writes to it in place.
class ReplacementFile {
  public:
    enum class Start {
        Empty,              // the writer creates the whole file
        TargetCopy,         // a copy of the existing target; none is a failure
        TargetCopyOrEmpty,  // a copy of the target when there is one
    };

    explicit ReplacementFile(const std::string& target, Start start = Start::Empty);
    ~ReplacementFile();
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // False when no file to write could be set up; Error() tells why.
    explicit operator bool() const { return ready_; }
    int Error() const { return error_; }

    // Where the writer writes; empty when setting up failed.
    const std::string& Path() const { return path_; }

    // Makes the written file durable and puts it in the target's place; the
    // writer must have closed its own access first. False (and the target as
    // it was) when any step fails.
    bool Commit();

  private:
    bool setUp(std::string target, Start start);
    bool createBeside(const std::string& folder, const std::string& name);
    bool fail(int error);
    void discard();

    std::string target_;  // the file to replace, links followed
    std::string path_;
    int fd_ = -1;  // the temporary file, kept open for the copy and the flush
    bool ready_ = false;
    bool inPlace_ = false;
    int error_ = 0;
};

}  // namespace pm32::platform
