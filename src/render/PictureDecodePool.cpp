#include "render/PictureDecodePool.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>

namespace nimbra {

int MachineDecodeThreads() {
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

TPictureDecodePool::TPictureDecodePool(int threads)
    : threads_(threads > 0 ? threads : MachineDecodeThreads()) {}

void TPictureDecodePool::Run(const std::vector<std::function<void()>>& jobs) const {
  std::atomic<size_t> next = 0;
  const auto work = [&] {
    for (size_t job = next++; job < jobs.size(); job = next++) jobs[job]();
  };
  // Threads created here inherit the creator's scheduling policy and nice value (Linux keeps both
  // per thread), which is what keeps them at the change thread's priority.
  const auto helpers = std::min<size_t>(static_cast<size_t>(threads_) - 1,
                                        jobs.empty() ? 0 : jobs.size() - 1);
  std::vector<std::jthread> started;
  started.reserve(helpers);
  for (size_t i = 0; i < helpers; ++i) {
    try {
      started.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // no more threads to be had: those there are do the rest
    }
  }
  work();
  // jthread joins as it goes out of scope
}

}  // namespace nimbra
