#include "tools/show/isolated_run.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <new>

namespace show_tool {

namespace {

constexpr int EXIT_OUT_OF_MEMORY = 3;
constexpr int EXIT_CANNOT_ANSWER = 4;

void set_limit(int resource, rlim_t value) {
    struct rlimit limit;
    if (getrlimit(resource, &limit) != 0) return;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < value) value = limit.rlim_max;
    limit.rlim_cur = value;
    setrlimit(resource, &limit);
}

bool write_all(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// The processor time limit counts from now: what the child has used so far, plus the
// allowance for one item.
void allow_processor_time(int seconds) {
    struct rusage usage;
    if (getrusage(RUSAGE_SELF, &usage) != 0) return;
    const rlim_t used = static_cast<rlim_t>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec);
    set_limit(RLIMIT_CPU, used + 1 + static_cast<rlim_t>(seconds));
}

bool send_answer(int fd, const std::vector<uint8_t>& answer) {
    const uint64_t size = answer.size();
    return write_all(fd, reinterpret_cast<const uint8_t*>(&size), sizeof size) &&
           write_all(fd, answer.data(), answer.size());
}

[[noreturn]] void run_child(const IsolatedWorker::Job& job, size_t first, size_t step, size_t count,
                            const IsolationLimits& limits, int answer_fd) {
    // The parent's interrupt handling is the parent's: the child just ends. A crash
    // ends it by its signal too, whatever handler a sanitizer put in place, so that the
    // parent can name it.
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(signal, SIG_DFL);
    if (ISOLATION_LIMITS_MEMORY) set_limit(RLIMIT_AS, limits.memory_bytes);
    set_limit(RLIMIT_CORE, 0);
    int status = 0;
    try {
        std::vector<uint8_t> answer;
        for (size_t item = first; item < count && status == 0; item += step) {
            allow_processor_time(limits.cpu_seconds);
            answer.clear();
            job(item, &answer);
            if (!send_answer(answer_fd, answer)) status = EXIT_CANNOT_ANSWER;
        }
    } catch (const std::bad_alloc&) {
        status = EXIT_OUT_OF_MEMORY;
    } catch (...) {
        status = EXIT_CANNOT_ANSWER;
    }
    close(answer_fd);
    _exit(status);
}

bool read_all(int fd, uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t got = read(fd, data, size);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        data += got;
        size -= static_cast<size_t>(got);
    }
    return true;
}

std::string describe_end(int status, const IsolationLimits& limits) {
    const std::string memory =
        "ran out of memory (more than " + std::to_string(limits.memory_bytes >> 20) + " MB)";
    if (WIFSIGNALED(status)) {
        const int signal = WTERMSIG(status);
        if (signal == SIGXCPU) return "took more than " + std::to_string(limits.cpu_seconds) + " s";
        // An allocation the limit refuses ends in an abort inside most libraries.
        const std::string name = strsignal(signal);
        if (signal == SIGABRT && ISOLATION_LIMITS_MEMORY)
            return "crashed (" + name + ", perhaps out of memory: the limit is " +
                   std::to_string(limits.memory_bytes >> 20) + " MB)";
        return "crashed (" + name + ")";
    }
    if (WEXITSTATUS(status) == EXIT_OUT_OF_MEMORY) return memory;
    return "ended without an answer (exit status " + std::to_string(WEXITSTATUS(status)) + ")";
}

}  // namespace

IsolatedWorker::IsolatedWorker(const Job& job, size_t first, size_t step, size_t count,
                               const IsolationLimits& limits)
    : limits(limits) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        start_failure = std::string("could not be started: ") + std::strerror(errno);
        return;
    }
    pid = fork();
    if (pid == 0) {
        close(fds[0]);
        run_child(job, first, step, count, limits, fds[1]);
    }
    close(fds[1]);
    if (pid < 0) {
        start_failure = std::string("could not be started: ") + std::strerror(errno);
        close(fds[0]);
        return;
    }
    answer_fd = fds[0];
}

IsolatedWorker::~IsolatedWorker() {
    if (pid <= 0) return;
    kill(pid, SIGKILL);
    int status = 0;
    end_child(&status);
}

void IsolatedWorker::end_child(int* status) {
    close(answer_fd);
    answer_fd = -1;
    while (waitpid(pid, status, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
}

bool IsolatedWorker::next(std::vector<uint8_t>* answer, std::string* reason) {
    if (pid <= 0) {
        *reason = start_failure.empty() ? "ended without an answer" : start_failure;
        return false;
    }
    uint64_t size = 0;
    bool whole = read_all(answer_fd, reinterpret_cast<uint8_t*>(&size), sizeof size);
    if (whole) {
        answer->resize(size);
        whole = read_all(answer_fd, answer->data(), answer->size());
    }
    if (whole) return true;
    int status = 0;
    end_child(&status);
    *reason = describe_end(status, limits);
    return false;
}

bool run_isolated(const std::function<void(std::vector<uint8_t>* answer)>& job,
                  const IsolationLimits& limits, std::vector<uint8_t>* answer,
                  std::string* reason) {
    const auto item = [&job](size_t, std::vector<uint8_t>* bytes) { job(bytes); };
    return IsolatedWorker(item, 0, 1, 1, limits).next(answer, reason);
}

}  // namespace show_tool
