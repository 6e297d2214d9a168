#include "tests/tools/private_cups.h"

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/support/peer_tools.h"

namespace pm32::tools {
namespace {

namespace fs = std::filesystem;

std::string filesConfiguration(const std::string& root) {
    return "ServerRoot " + root + "\nRequestRoot " + root + "/spool\nCacheDir " + root +
           "/cache\nStateDir " + root + "/state\nTempDir " + root + "/tmp\nAccessLog " + root +
           "/log/access_log\nErrorLog " + root + "/log/error_log\nPageLog " + root +
           "/log/page_log\nPrintcap " + root + "/printcap\nUser lp\nGroup lp\nSystemGroup root\n";
}

std::string schedulerConfiguration(int port) {
    return "Listen 127.0.0.1:" + std::to_string(port) +
           "\nLogLevel info\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
           "<Location />\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n"
           "<Location /admin>\n  Order allow,deny\n  Allow 127.0.0.1\n</Location>\n";
}

// The scheduler checks ownership: the spool belongs to root and the lp group,
// the folders its helpers write in to the lp user.
bool prepareFolders(const std::string& root) {
    const passwd* lpUser = ::getpwnam("lp");
    const group* lpGroup = ::getgrnam("lp");
    if (lpUser == nullptr || lpGroup == nullptr) return false;
    // The lp user walks down to the spool and the temporary folder.
    const fs::perms open = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(fs::path(root).parent_path(), open);
    fs::permissions(root, open);
    for (const char* name : {"spool", "cache", "state", "tmp", "log"})
        fs::create_directory(root + "/" + name);
    bool owned = ::chown((root + "/spool").c_str(), 0, lpGroup->gr_gid) == 0;
    fs::permissions(root + "/spool", fs::perms::owner_all | fs::perms::group_exec);
    for (const char* name : {"cache", "state", "tmp"})
        owned = owned && ::chown((root + "/" + name).c_str(), lpUser->pw_uid, 0) == 0;
    return owned;
}

}  // namespace

PrivateCups::PrivateCups() {
    const std::string root = dir_.path("cups");
    fs::create_directory(root);
    port_ = test::freeLoopbackPort();
    if (port_ <= 0 || !prepareFolders(root)) return;
    test::writeText(root + "/cups-files.conf", filesConfiguration(root));
    test::writeText(root + "/cupsd.conf", schedulerConfiguration(port_));
    cupsd_ = std::make_unique<test::ChildProcess>(
        std::vector<std::string>{"cupsd", "-f", "-c", root + "/cupsd.conf", "-s",
                                 root + "/cups-files.conf"},
        root + "/log/output");
    // lpstat -r exits 0 whether or not the scheduler answers: its text tells.
    const std::string probe =
        "lpstat -h " + server() + " -r 2>/dev/null | grep -qx 'scheduler is running'";
    for (int attempt = 0; attempt < 150 && cupsd_->running(); ++attempt) {
        if (test::run(probe) == 0) {
            ready_ = true;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
}

std::string PrivateCups::server() const { return "127.0.0.1:" + std::to_string(port_); }

std::string PrivateCups::log() const {
    std::string text;
    for (const char* name : {"cups/log/output", "cups/log/error_log"}) {
        if (fs::exists(dir_.path(name))) text += test::readText(dir_.path(name));
    }
    return text;
}

}  // namespace pm32::tools
