#include "tests/support/private_postgres.h"

#include <pwd.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/peer_tools.h"

namespace pm32::test {
namespace {

namespace fs = std::filesystem;

constexpr const char* kServerUser = "postgres";

}  // namespace

std::string PrivatePostgres::programFolder() {
    std::error_code missing;
    std::string newest;
    for (const fs::directory_entry& entry :
         fs::directory_iterator("/usr/lib/postgresql", missing)) {
        const std::string bin = (entry.path() / "bin").string();
        if (fs::exists(bin + "/pg_ctl") && bin > newest) newest = bin;
    }
    return newest;
}

PrivatePostgres::PrivatePostgres() : root_(fs::path(dir_.path("x")).parent_path().string()) {
    const passwd* user = ::getpwnam(kServerUser);
    if (user == nullptr || programFolder().empty()) return;
    if (::chown(root_.c_str(), user->pw_uid, user->pw_gid) != 0) return;
    const std::string initdb = programFolder() + "/initdb -D " + quoted(dir_.path("data")) +
                               " -U postgres --auth=trust --no-sync >" +
                               quoted(dir_.path("initdb.log")) + " 2>&1";
    if (test::run(asServerUser(initdb)) != 0) return;
    const std::string options = "-k " + root_ + " -c listen_addresses=''";
    const std::string start = programFolder() + "/pg_ctl -D " + quoted(dir_.path("data")) + " -l " +
                              quoted(dir_.path("server.log")) + " -w -o " + quoted(options) +
                              " start >/dev/null 2>&1";
    ready_ = test::run(asServerUser(start)) == 0;
}

PrivatePostgres::~PrivatePostgres() {
    if (!ready_) return;
    test::run(asServerUser(programFolder() + "/pg_ctl -D " + quoted(dir_.path("data")) +
                           " -m immediate -w stop >/dev/null 2>&1"));
}

std::string PrivatePostgres::asServerUser(const std::string& command) const {
    return "runuser -u " + std::string(kServerUser) + " -- sh -c " + quoted(command);
}

std::string PrivatePostgres::address() const {
    return "postgresql://postgres@localhost/postgres?host=" + root_;
}

std::string PrivatePostgres::log() const {
    std::string text;
    for (const char* name : {"initdb.log", "server.log"})
        if (fs::exists(dir_.path(name))) text += readText(dir_.path(name));
    return text;
}

}  // namespace pm32::test
