// A small pool of threads that decodes the pictures of one page while the page is composed: the
// pictures of a page are independent of each other, and decoding them is most of a page's work.
// The pool's threads live for one page and are joined before the page is handed on; they are
// started by the drawing thread and take over its scheduling, so that the change thread's idle
// priority holds for them.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace nimbra {

// The threads a pool has on this machine: one per processor the system reports, at least one.
int MachineDecodeThreads();

// Jobs running on the pool's threads, in the order given, each once. Destroying the batch skips
// the jobs not yet begun and joins the threads.
class TPictureDecodeBatch {
 public:
  TPictureDecodeBatch(std::vector<std::function<void()>> jobs, int threads);
  ~TPictureDecodeBatch();
  TPictureDecodeBatch(const TPictureDecodeBatch&) = delete;
  TPictureDecodeBatch& operator=(const TPictureDecodeBatch&) = delete;

  // Returns once every job has ended.
  void Wait();

 private:
  void Work();

  std::vector<std::function<void()>> jobs_;
  std::atomic<size_t> next_ = 0;
  std::atomic<bool> stopped_ = false;
  std::vector<std::thread> threads_;
};

class TPictureDecodePool {
 public:
  // threads: how many jobs run at once; 0 for the machine's count.
  explicit TPictureDecodePool(int threads = 0);

  int Threads() const { return threads_; }
  // Starts the jobs on up to Threads() new threads (no more than there are jobs); they must not
  // raise (one that does ends the program).
  std::unique_ptr<TPictureDecodeBatch> Start(std::vector<std::function<void()>> jobs) const;

 private:
  int threads_;
};

}  // namespace nimbra
