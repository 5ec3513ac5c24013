#pragma once
// Recursive mutex and its scope guard.

#include <pthread.h>

// Recursive: the holding thread may Enter again and must Leave as often. Any thread.
class Util_Mutex
{
public:
  Util_Mutex()
  {
    pthread_mutexattr_t attr;
    pthread_mutexattr_init(&attr);
    pthread_mutexattr_settype(&attr, PTHREAD_MUTEX_RECURSIVE);
    pthread_mutex_init(&mMutex, &attr);
    pthread_mutexattr_destroy(&attr);
  }
  // Must not be held by anyone.
  ~Util_Mutex() { pthread_mutex_destroy(&mMutex); }
  Util_Mutex(const Util_Mutex&) = delete;
  Util_Mutex& operator=(const Util_Mutex&) = delete;

  // Blocks until this thread holds the mutex.
  void Enter() { pthread_mutex_lock(&mMutex); }
  // Caller must hold the mutex.
  void Leave() { pthread_mutex_unlock(&mMutex); }

private:
  pthread_mutex_t mMutex;
};

// Holds the mutex for its scope, so unwinding releases it too. Stack object on any thread.
class Util_MutexLock
{
public:
  explicit Util_MutexLock(Util_Mutex& m) : mMutex(m) { mMutex.Enter(); }
  ~Util_MutexLock() { mMutex.Leave(); }
  Util_MutexLock(const Util_MutexLock&) = delete;
  Util_MutexLock& operator=(const Util_MutexLock&) = delete;

private:
  Util_Mutex& mMutex;
};
