// The processing routine must not allocate once the first block has run:
// every malloc and operator new of this binary is counted while armed.
#include <gtest/gtest.h>

#include "support/alloc_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#include "quenbar_test_support.h"


namespace
{

TEST(QuenbarAlloc, CounterSeesAllocations)
{
  long count;
  {
    alloc_counter::Armed armed;
    int* volatile p = new int(3);  // volatile: the allocation may not be elided
    void* volatile q = malloc(16);
    count = alloc_counter::Count();
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
    alloc_counter::Armed armed;
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
    count = alloc_counter::Count();
  }
  EXPECT_EQ(count, 0);
  EXPECT_NE(out.l[0], 0.0);
}

}  // namespace
