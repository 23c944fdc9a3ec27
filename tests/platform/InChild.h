// Running part of a test in a forked child, as another user when the test runs as root:
// root reads and writes everything, so "cannot read" and "cannot write" are tried as nobody.
#pragma once

#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <grp.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>

namespace gridloom::test {

constexpr uid_t NobodyId = 65534;

// Runs body in a forked child, first as another user (nobody) when we are root, and with
// files limited to limitBytes when it is not 0, so that writing a whole image fails even
// for root. The child's test failures are reported through its exit status.
inline void InChild(const std::function<void()>& body, bool asNobody, rlim_t limitBytes = 0) {
    std::fflush(nullptr);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (asNobody) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(NobodyId) != 0 || ::setuid(NobodyId) != 0) ::_exit(3);
        }
        if (limitBytes != 0) {
            std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit then fails with EFBIG
            rlimit limit{limitBytes, limitBytes};
            if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(4);
        }
        body();
        std::fflush(nullptr);
        ::_exit(::testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "child ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << (WEXITSTATUS(status) == 3 ? "could not become nobody" : "failures in child");
}

// Makes path, and everything in it, nobody's, so that nobody meets it as its owner would.
inline void GiveToNobody(const std::string& path) {
    std::error_code ignored;
    ASSERT_EQ(::chown(path.c_str(), NobodyId, NobodyId), 0) << path;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ignored))
        ASSERT_EQ(::lchown(entry.path().c_str(), NobodyId, NobodyId), 0) << entry.path();
}

}  // namespace gridloom::test
