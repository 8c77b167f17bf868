// Work that may crash or run out of memory (decoding an author's image file) done in a
// child process with limits, so that only that piece of work is lost and the batch
// around it goes on.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace show_tool {

struct IsolationLimits {
    uint64_t memory_bytes = 3ull << 30;  // address space of the child
    int cpu_seconds = 60;
};

// Runs the job in a forked child under the limits. The job fills *answer, which comes
// back over a pipe; true with it when the child ended normally. false with a reason
// when it crashed ("crashed (Segmentation fault)"), ran out of memory ("ran out of
// memory (more than 3072 MB)"), used up its processor time, or could not be started.
// The child keeps nothing: it ends without flushing the parent's buffered output.
bool run_isolated(const std::function<void(std::vector<uint8_t>* answer)>& job,
                  const IsolationLimits& limits, std::vector<uint8_t>* answer, std::string* reason);

}  // namespace show_tool
