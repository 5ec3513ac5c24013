#pragma once

// Counts every malloc and operator new of the test binary that links
// alloc_counter.cpp, while armed. Not for sanitizer builds: they bring their
// own allocator.
namespace alloc_counter
{
void Arm();  // resets the count
void Disarm();
long Count();
// While set, operator new throws std::bad_alloc as it does when memory runs out.
void SetFailNew(bool fail);

struct Armed
{
  Armed() { Arm(); }
  ~Armed() { Disarm(); }
};
}  // namespace alloc_counter
