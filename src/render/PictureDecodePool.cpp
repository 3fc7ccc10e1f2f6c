#include "render/PictureDecodePool.h"

#include <algorithm>
#include <system_error>
#include <utility>

namespace nimbra {

int MachineDecodeThreads() {
  return std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
}

TPictureDecodeBatch::TPictureDecodeBatch(std::vector<std::function<void()>> jobs, int threads)
    : jobs_(std::move(jobs)) {
  // Threads created here inherit the creator's scheduling policy and nice value (Linux keeps both
  // per thread), which is what keeps them at the drawing thread's priority.
  const size_t count = std::min(static_cast<size_t>(std::max(threads, 1)), jobs_.size());
  threads_.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    try {
      threads_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      break;  // no more threads to be had: those there are do the rest
    }
  }
  // Without any thread the jobs still run, here.
  if (threads_.empty()) Work();
}

TPictureDecodeBatch::~TPictureDecodeBatch() {
  stopped_ = true;
  Wait();
}

void TPictureDecodeBatch::Wait() {
  for (std::thread& thread : threads_) {
    if (thread.joinable()) thread.join();
  }
}

void TPictureDecodeBatch::Work() {
  for (size_t job = next_++; job < jobs_.size() && !stopped_; job = next_++) jobs_[job]();
}

TPictureDecodePool::TPictureDecodePool(int threads)
    : threads_(threads > 0 ? threads : MachineDecodeThreads()) {}

std::unique_ptr<TPictureDecodeBatch> TPictureDecodePool::Start(
    std::vector<std::function<void()>> jobs) const {
  return std::make_unique<TPictureDecodeBatch>(std::move(jobs), threads_);
}

}  // namespace nimbra
