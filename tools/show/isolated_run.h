// Work that may crash or run out of memory (decoding an author's image file) done in a
// child process with limits, so that only that piece of work is lost and the batch
// around it goes on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace show_tool {

// The sanitizers reserve terabytes of address space up front; under them the child
// runs without a memory limit.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool ISOLATION_LIMITS_MEMORY = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool ISOLATION_LIMITS_MEMORY = false;
#else
constexpr bool ISOLATION_LIMITS_MEMORY = true;
#endif
#else
constexpr bool ISOLATION_LIMITS_MEMORY = true;
#endif

struct IsolationLimits {
    uint64_t memory_bytes = 2ull << 30;  // address space of the child
    int cpu_seconds = 60;
};

// A job running in a forked child under the limits. The job fills an answer, which
// comes back over a pipe when the parent asks for it; several may run at once.
class IsolatedRun {
  public:
    IsolatedRun(const std::function<void(std::vector<uint8_t>* answer)>& job,
                const IsolationLimits& limits);
    ~IsolatedRun();
    IsolatedRun(const IsolatedRun&) = delete;
    IsolatedRun& operator=(const IsolatedRun&) = delete;

    // Waits for the child. true with its answer when it ended normally; false with a
    // reason when it crashed ("crashed (Segmentation fault)"), ran out of memory ("ran
    // out of memory (more than 2048 MB)"), used up its processor time ("took more than
    // 60 s"), or could not be started.
    bool finish(std::vector<uint8_t>* answer, std::string* reason);

  private:
    IsolationLimits limits;
    int pid = -1;
    int answer_fd = -1;
    std::string start_failure;
};

// Starts the job and waits for it.
bool run_isolated(const std::function<void(std::vector<uint8_t>* answer)>& job,
                  const IsolationLimits& limits, std::vector<uint8_t>* answer, std::string* reason);

}  // namespace show_tool
