// Threads for the ports' jobs and the recursive mutex they share, on the C++
// library on POSIX systems and on Win32 itself on Windows (the MinGW runtime
// romtool is built with has no std::thread).
#pragma once

#include <functional>
#include <memory>

namespace romprog {

// A mutex the thread holding it may take again (the ports share one, and
// what runs under it may print through the board, which takes it too).
class RecursiveMutex {
 public:
  RecursiveMutex();
  ~RecursiveMutex();
  RecursiveMutex(const RecursiveMutex&) = delete;
  RecursiveMutex& operator=(const RecursiveMutex&) = delete;
  void Take();
  void Give();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// Holds a RecursiveMutex for its scope.
class Holding {
 public:
  explicit Holding(RecursiveMutex& lock) : lock_(lock) { lock_.Take(); }
  ~Holding() { lock_.Give(); }
  Holding(const Holding&) = delete;
  Holding& operator=(const Holding&) = delete;

 private:
  RecursiveMutex& lock_;
};

// work(0) to work(count - 1), each in a thread of its own; returns when all
// have ended.
void RunEach(int count, const std::function<void(int)>& work);

}  // namespace romprog
