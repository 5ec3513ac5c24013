// The processing routine must not allocate once the first block has run:
// every malloc and operator new of this binary is counted while armed.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "quenbar_test_support.h"

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void __libc_free(void*);

namespace
{
std::atomic<bool> gArmed{false};
std::atomic<long> gAllocs{0};
void Count()
{
  if (gArmed.load(std::memory_order_relaxed))
    gAllocs.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

extern "C" void* malloc(size_t n)
{
  Count();
  return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t size)
{
  Count();
  return __libc_calloc(n, size);
}
extern "C" void* realloc(void* p, size_t n)
{
  Count();
  return __libc_realloc(p, n);
}
extern "C" void free(void* p)
{
  __libc_free(p);
}
void* operator new(size_t n)
{
  Count();
  if (void* p = __libc_malloc(n ? n : 1))
    return p;
  throw std::bad_alloc();
}
void* operator new[](size_t n)
{
  return operator new(n);
}
void operator delete(void* p) noexcept
{
  __libc_free(p);
}
void operator delete[](void* p) noexcept
{
  __libc_free(p);
}
void operator delete(void* p, size_t) noexcept
{
  __libc_free(p);
}
void operator delete[](void* p, size_t) noexcept
{
  __libc_free(p);
}

namespace
{

struct Armed
{
  Armed()
  {
    gAllocs = 0;
    gArmed = true;
  }
  ~Armed() { gArmed = false; }
};

TEST(QuenbarAlloc, CounterSeesAllocations)
{
  long count;
  {
    Armed armed;
    int* p = new int(3);
    void* q = malloc(16);
    count = gAllocs.load();
    delete p;
    free(q);
  }
  EXPECT_EQ(count, 2);
}

TEST(QuenbarAlloc, NoAllocationAfterTheFirstBlock)
{
  qtest::QuenbarPtr plug = qtest::MakeQuenbar(48000.0);
  const qtest::Stereo in = qtest::Noise(512, 100.0, 1);
  qtest::Stereo out(512);
  double* ins[2] = {const_cast<double*>(in.l.data()), const_cast<double*>(in.r.data())};
  double* outs[2] = {out.l.data(), out.r.data()};
  plug->ProcessDoubleReplacing(ins, outs, 512);

  long count;
  {
    Armed armed;
    for (int b = 0; b < 200; ++b)
    {
      // Moving controls, rate changes, bypass, odd and empty blocks.
      qtest::SetParam(*plug, Quenbar::kTone, 0.25 + 0.005 * b);
      qtest::SetParam(*plug, Quenbar::kSnap, 0.15 * b);
      qtest::SetParam(*plug, Quenbar::kBypass, b % 9 == 4 ? 1.0 : 0.0);
      if (b % 50 == 10)
        plug->SetSampleRate(b % 100 == 10 ? 96000.0 : 44100.0);
      plug->ProcessDoubleReplacing(ins, outs, b % 4 == 3 ? 0 : 512 - b);
      plug->Reset();
    }
    count = gAllocs.load();
  }
  EXPECT_EQ(count, 0);
  EXPECT_NE(out.l[0], 0.0);
}

}  // namespace
