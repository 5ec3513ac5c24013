#include "alloc_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

extern "C" void* __libc_malloc(size_t);
extern "C" void* __libc_calloc(size_t, size_t);
extern "C" void* __libc_realloc(void*, size_t);
extern "C" void __libc_free(void*);

namespace {
std::atomic<bool> gArmed{false};
std::atomic<long> gAllocs{0};
// While set, operator new fails as it does when memory runs out.
std::atomic<bool> gFailNew{false};
void Count()
{
  if (gArmed.load(std::memory_order_relaxed)) gAllocs.fetch_add(1, std::memory_order_relaxed);
}
} // namespace

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
  if (gFailNew.load(std::memory_order_relaxed)) throw std::bad_alloc();
  if (void* p = __libc_malloc(n ? n : 1)) return p;
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

namespace alloc_counter
{
void Arm()
{
  gAllocs = 0;
  gArmed = true;
}
void Disarm()
{
  gArmed = false;
}
long Count()
{
  return gAllocs.load();
}
void SetFailNew(bool fail)
{
  gFailNew = fail;
}
}  // namespace alloc_counter
