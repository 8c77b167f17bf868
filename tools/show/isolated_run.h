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

// Items of work (the files of a batch) done in order by a forked child under the
// limits: items first, first + step, first + 2 step, ... below count. Each item's
// answer comes back over a pipe when the parent asks for it; the child works at most
// one item ahead. The processor time limit holds for each item; the memory limit for
// the child. Several workers may run at once.
class IsolatedWorker {
  public:
    using Job = std::function<void(size_t item, std::vector<uint8_t>* answer)>;
    IsolatedWorker(const Job& job, size_t first, size_t step, size_t count,
                   const IsolationLimits& limits);
    // Stops a child that is still working: its remaining answers are not wanted.
    ~IsolatedWorker();
    IsolatedWorker(const IsolatedWorker&) = delete;
    IsolatedWorker& operator=(const IsolatedWorker&) = delete;

    // The next item's answer. false with a reason when the child ended before giving
    // it whole: it crashed ("crashed (Segmentation fault)"), ran out of memory ("ran
    // out of memory (more than 2048 MB)"), used up its processor time ("took more than
    // 60 s"), or could not be started. The worker is then finished.
    bool next(std::vector<uint8_t>* answer, std::string* reason);

  private:
    void end_child(int* status);

    IsolationLimits limits;
    int pid = -1;
    int answer_fd = -1;
    std::string start_failure;
};

// One job in a child of its own, waited for.
bool run_isolated(const std::function<void(std::vector<uint8_t>* answer)>& job,
                  const IsolationLimits& limits, std::vector<uint8_t>* answer, std::string* reason);

}  // namespace show_tool
