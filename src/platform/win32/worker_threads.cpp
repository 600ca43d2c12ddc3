#include "platform/worker_threads.h"

#include <windows.h>

#include <vector>

namespace romprog {
namespace {

struct Task {
  const std::function<void(int)>* work;
  int index;
};

DWORD WINAPI RunTask(void* task) {
  const Task& t = *static_cast<Task*>(task);
  (*t.work)(t.index);
  return 0;
}

}  // namespace

// A critical section may be entered again by the thread that holds it.
struct RecursiveMutex::State {
  CRITICAL_SECTION section;
};

RecursiveMutex::RecursiveMutex() : state_(std::make_unique<State>()) {
  InitializeCriticalSection(&state_->section);
}

RecursiveMutex::~RecursiveMutex() {
  DeleteCriticalSection(&state_->section);
}

void RecursiveMutex::Take() {
  EnterCriticalSection(&state_->section);
}

void RecursiveMutex::Give() {
  LeaveCriticalSection(&state_->section);
}

void RunEach(int count, const std::function<void(int)>& work) {
  std::vector<Task> tasks;
  for (int k = 0; k < count; ++k) tasks.push_back({&work, k});
  std::vector<HANDLE> threads;
  for (Task& task : tasks) {
    HANDLE thread = CreateThread(nullptr, 0, RunTask, &task, 0, nullptr);
    if (thread) {
      threads.push_back(thread);
    } else {
      RunTask(&task);  // no thread to be had: this port's job runs here
    }
  }
  for (HANDLE thread : threads) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
  }
}

}  // namespace romprog
