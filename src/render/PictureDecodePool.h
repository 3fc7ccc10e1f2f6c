// A small pool of threads that decodes the pictures of one page at once: the pictures of a page
// are independent of each other, and decoding them is most of a page's work. The pool's threads
// live for one batch and are joined before the page is composed; they are started by the drawing
// thread and take over its scheduling, so that the change thread's idle priority holds for them.
#pragma once

#include <functional>
#include <vector>

namespace nimbra {

// The threads a pool has on this machine: one per processor the system reports, at least one.
int MachineDecodeThreads();

class TPictureDecodePool {
 public:
  // threads: how many jobs run at once, the calling thread's included; 0 for the machine's count.
  explicit TPictureDecodePool(int threads = 0);

  int Threads() const { return threads_; }
  // Runs every job and returns once all have ended: the calling thread works along, and at most
  // Threads() − 1 more are started. Jobs must not raise (one that does ends the program).
  void Run(const std::vector<std::function<void()>>& jobs) const;

 private:
  int threads_;
};

}  // namespace nimbra
