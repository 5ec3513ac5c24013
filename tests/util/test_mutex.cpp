#include "util/mutex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

// True when another thread takes and releases the mutex. A free mutex is taken at once; the
// wait only turns a mutex left held into a failure instead of a hang. On failure the blocked
// thread is detached and the mutex must be leaked by the caller.
bool OtherThreadCanLock(Util_Mutex* m)
{
  auto done = std::make_shared<std::promise<void>>();
  std::future<void> f = done->get_future();
  std::thread t([m, done] {
    Util_MutexLock lock(*m);
    done->set_value();
  });
  if (f.wait_for(std::chrono::seconds(20)) != std::future_status::ready)
  {
    t.detach();
    return false;
  }
  t.join();
  return true;
}

void ExpectFreeThenDelete(Util_Mutex* m)
{
  if (OtherThreadCanLock(m)) delete m;
  else ADD_FAILURE() << "mutex still held";
}

} // namespace

TEST(Mutex, RecursiveAndReleasedAfterMatchingLeaves)
{
  Util_Mutex* m = new Util_Mutex;
  m->Enter();
  {
    Util_MutexLock again(*m); // would deadlock on a plain mutex
    m->Enter();
    m->Leave();
  }
  m->Leave();
  ExpectFreeThenDelete(m);
}

TEST(Mutex, InnerLeaveKeepsItHeld)
{
  Util_Mutex m;
  std::atomic<bool> got{false};
  m.Enter();
  m.Enter();
  m.Leave();
  std::thread t([&] {
    Util_MutexLock lock(m);
    got = true;
  });
  // A correct mutex never lets the thread in here; the pause gives a broken one the chance.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(got.load());
  m.Leave();
  t.join();
  EXPECT_TRUE(got.load());
}

TEST(Mutex, GuardReleasesOnUnwind)
{
  Util_Mutex* m = new Util_Mutex;
  try
  {
    Util_MutexLock lock(*m);
    throw std::runtime_error("boom");
  }
  catch (const std::runtime_error&)
  {
  }
  ExpectFreeThenDelete(m);
}

TEST(Mutex, SerialisesWriters)
{
  Util_Mutex m;
  long counter = 0; // deliberately not atomic
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 20000; ++i)
      {
        Util_MutexLock lock(m);
        Util_MutexLock nested(m);
        counter = counter + 1;
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(counter, 80000);
}
