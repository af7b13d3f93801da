#pragma once

#include <cerrno>
#include <functional>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace trellan::testing_support {

// Runs body in a forked child and returns what it reports: an empty text when all went well,
// otherwise what went wrong (a text starting with SKIP_PREFIX when the machine cannot set the
// case up). Mounts and dropped privileges thus stay with the child.
inline constexpr char SKIP_PREFIX[] = "skip: ";

inline std::string RunInChild(const std::function<std::string()>& body) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) {
        return "pipe failed";
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return "fork failed";
    }
    if (child == 0) {
        ::close(pipeEnds[0]);
        const std::string report = body();
        std::size_t sent = 0;
        while (sent < report.size()) {
            const ssize_t written =
                ::write(pipeEnds[1], report.data() + sent, report.size() - sent);
            if (written <= 0) {
                break;
            }
            sent += static_cast<std::size_t>(written);
        }
        ::_exit(0);  // no test teardown, no exit handlers: the parent owns those
    }
    ::close(pipeEnds[1]);
    std::string report;
    char chunk[512];
    for (;;) {
        const ssize_t got = ::read(pipeEnds[0], chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        report.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        return report + " (the child ended abnormally)";
    }
    return report;
}

}  // namespace trellan::testing_support
