// Threads for the ports' jobs and the lock they share, on the C++ library
// on POSIX systems and on Win32 itself on Windows (the MinGW runtime romtool
// is built with has no std::thread).
#pragma once

#include <functional>
#include <memory>

namespace romprog {

// A lock the thread holding it may take again.
class SharedLock {
 public:
  SharedLock();
  ~SharedLock();
  SharedLock(const SharedLock&) = delete;
  SharedLock& operator=(const SharedLock&) = delete;
  void Take();
  void Give();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Holds a SharedLock for its scope.
class Holding {
 public:
  explicit Holding(SharedLock& lock) : lock_(lock) { lock_.Take(); }
  ~Holding() { lock_.Give(); }
  Holding(const Holding&) = delete;
  Holding& operator=(const Holding&) = delete;

 private:
  SharedLock& lock_;
};

// work(0) to work(count - 1), each in a thread of its own; returns when all
// have ended.
void RunEach(int count, const std::function<void(int)>& work);

}  // namespace romprog
