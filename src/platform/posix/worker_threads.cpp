#include "platform/worker_threads.h"

#include <mutex>
#include <thread>
#include <vector>

namespace romprog {

struct RecursiveMutex::State {
  std::recursive_mutex mutex;
};

RecursiveMutex::RecursiveMutex() : state_(std::make_unique<State>()) {}
RecursiveMutex::~RecursiveMutex() = default;

void RecursiveMutex::Take() {
  state_->mutex.lock();
}

void RecursiveMutex::Give() {
  state_->mutex.unlock();
}

void RunEach(int count, const std::function<void(int)>& work) {
  std::vector<std::thread> threads;
  for (int k = 0; k < count; ++k) threads.emplace_back(work, k);
  for (std::thread& thread : threads) thread.join();
}

}  // namespace romprog
