#include "platform/worker_threads.h"

#include <mutex>
#include <thread>
#include <vector>

namespace romprog {

struct SharedLock::State {
  std::recursive_mutex mutex;
};

SharedLock::SharedLock() : state_(std::make_unique<State>()) {}
SharedLock::~SharedLock() = default;

void SharedLock::Take() {
  state_->mutex.lock();
}

void SharedLock::Give() {
  state_->mutex.unlock();
}

void RunEach(int count, const std::function<void(int)>& work) {
  std::vector<std::thread> threads;
  for (int k = 0; k < count; ++k) threads.emplace_back(work, k);
  for (std::thread& thread : threads) thread.join();
}

}  // namespace romprog
