// A process-wide interface reference with a getter and a setter, safe to read from any thread.
// The documented holders (file access, application information) are built on it.
#pragma once

#include <memory>
#include <mutex>

namespace nimbra {

template <typename T>
class TGlobalHolder {
 public:
  std::shared_ptr<T> Get() {
    std::lock_guard<std::mutex> lock(mutex_);
    return value_;
  }
  void Set(std::shared_ptr<T> value) {
    std::lock_guard<std::mutex> lock(mutex_);
    value_ = std::move(value);
  }

 private:
  std::mutex mutex_;
  std::shared_ptr<T> value_;
};

}  // namespace nimbra
