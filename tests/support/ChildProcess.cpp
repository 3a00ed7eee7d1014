#include "tests/support/ChildProcess.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>

extern char** environ;

namespace kelvara::test {

namespace {

std::vector<std::string> ChildEnvironment(const TChildOptions& options) {
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        bool changed = false;
        for (const auto& change : options.Environment)
            changed = changed || change.first == name;
        if (!changed)
            env.push_back(entry);
    }
    for (const auto& [name, value] : options.Environment)
        if (value)
            env.push_back(name + "=" + *value);
    return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& t : texts)
        pointers.push_back(t.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

TChildRun RunChild(const std::string& program, const std::vector<std::string>& args,
                   const TChildOptions& options) {
    TChildRun run;
    const auto start = std::chrono::steady_clock::now();
    // Everything the child needs is made before the fork: after it only system calls run.
    std::vector<std::string> argvTexts{program};
    argvTexts.insert(argvTexts.end(), args.begin(), args.end());
    std::vector<std::string> envTexts = ChildEnvironment(options);
    std::vector<char*> argv = Pointers(argvTexts);
    std::vector<char*> envp = Pointers(envTexts);
    int out[2], err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return run;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return run;
    }
    int outFile = -1;
    if (!options.StdoutPath.empty())
        outFile = ::open(options.StdoutPath.c_str(), O_WRONLY | O_CLOEXEC);
    const rlimit limit{rlim_t(options.AddressSpaceLimit), rlim_t(options.AddressSpaceLimit)};
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(outFile >= 0 ? outFile : out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        const int in = ::open("/dev/null", O_RDONLY);
        if (in >= 0)
            ::dup2(in, STDIN_FILENO);
        if (options.AddressSpaceLimit)
            ::setrlimit(RLIMIT_AS, &limit);
        ::execve(program.c_str(), argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    if (outFile >= 0)
        ::close(outFile);
    if (pid < 0) {
        ::close(out[0]);
        ::close(err[0]);
        return run;
    }
    run.Started = true;
    const auto deadline = start + options.Timeout;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.Out, &run.Err};
    int open = 2;
    while (open > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            run.TimedOut = true;
            ::kill(pid, SIGKILL);
            break;
        }
        const int ready = ::poll(fds, 2, int(std::min<long long>(left.count(), 1000)));
        if (ready < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[65536];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, size_t(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (pollfd& f : fds)
        if (f.fd >= 0)
            ::close(f.fd);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status))
        run.ExitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        run.Signal = WTERMSIG(status);
    if (run.TimedOut)
        run.Signal = 0;
    run.Took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    return run;
}

TChildRun RunChild(const QString& program, const QStringList& args, const TChildOptions& options) {
    std::vector<std::string> bytes;
    for (const QString& a : args)
        bytes.push_back(QFile::encodeName(a).toStdString());
    return RunChild(QFile::encodeName(program).toStdString(), bytes, options);
}

} // namespace kelvara::test
