#include "run_process.h"

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tornix::testing {

namespace {

struct Pipe {
    int read = -1;
    int write = -1;
    Pipe() {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
        read = ends[0];
        write = ends[1];
    }
};

void CloseIfOpen(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

void Feed(int fd, const ProcessInput& input) {
    std::size_t at = 0;
    std::vector<std::size_t> sizes = input.chunks;
    sizes.push_back(input.bytes.size());
    for (std::size_t size : sizes) {
        size = std::min(size, input.bytes.size() - at);
        for (std::size_t done = 0; done < size;) {
            const ssize_t put = ::write(fd, input.bytes.data() + at + done, size - done);
            if (put <= 0) return;  // the child stopped reading
            done += static_cast<std::size_t>(put);
        }
        at += size;
    }
}

std::string Collect(int fd, std::size_t limit) {
    std::string text;
    char buffer[65536];
    while (text.size() < limit) {
        const ssize_t got = ::read(fd, buffer, std::min(sizeof buffer, limit - text.size()));
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    return text;
}

}  // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args, const ProcessInput& input) {
    const auto previous = std::signal(SIGPIPE, SIG_IGN);  // the feeder may outlive the child's reading
    Pipe in, out, err;
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> environment;  // the added variables first: they win over the inherited ones
    for (const std::string& variable : input.environment) environment.push_back(const_cast<char*>(variable.c_str()));
    for (char** variable = environ; *variable != nullptr; ++variable) environment.push_back(*variable);
    environment.push_back(nullptr);
    if (input.errorsUnread) CloseIfOpen(err.read);
    const int outputFile =
        input.appendOutputTo.empty() ? -1 : ::open(input.appendOutputTo.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(in.read, 0);
        ::dup2(outputFile >= 0 ? outputFile : out.write, 1);
        ::dup2(err.write, 2);
        std::signal(SIGPIPE, input.ignoreSigpipe ? SIG_IGN : SIG_DFL);
        if (input.asNobody && ::geteuid() == 0) {
            constexpr uid_t kNobody = 65534;
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) ::_exit(126);
        }
        if (input.addressSpaceLimit > 0) {
            const rlimit limit{input.addressSpaceLimit, input.addressSpaceLimit};
            if (::setrlimit(RLIMIT_AS, &limit) != 0) ::_exit(126);
        }
        ::execve(program.c_str(), argv.data(), environment.data());
        ::_exit(127);
    }
    CloseIfOpen(in.read);
    CloseIfOpen(out.write);
    CloseIfOpen(err.write);
    int unused = outputFile;
    CloseIfOpen(unused);
    std::thread feeder([&] {
        Feed(in.write, input);
        if (input.afterInput) input.afterInput(child);
        CloseIfOpen(in.write);
    });
    std::string errors;
    std::thread errorReader([&] {
        if (err.read >= 0) errors = Collect(err.read, std::string::npos);
    });
    ProcessResult result;
    result.out = Collect(out.read, input.readOutputBytes);
    CloseIfOpen(out.read);
    int status = 0;
    ::waitpid(child, &status, 0);
    feeder.join();
    errorReader.join();
    CloseIfOpen(err.read);
    std::signal(SIGPIPE, previous);
    result.err = errors;
    if (WIFEXITED(status)) result.exitStatus = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

}  // namespace tornix::testing
