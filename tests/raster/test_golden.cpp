// Compares the fixed scene with golden/scene.png. On a mismatch the actual image and a
// difference image are written next to the test output and their paths printed.
// Regenerate after an intended change: QUENBAR_UPDATE_GOLDEN=1 ctest -R test_raster_golden
#include "raster_test_util.h"
#include "scene.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

std::string OutputDir()
{
  const char* dir = getenv("TEST_OUTPUT_DIR");
  return dir && *dir ? dir : ".";
}

} // namespace

TEST(RasterGolden, SceneMatchesCommittedImage)
{
  Raster_MemBitmap actual(kSceneWidth, kSceneHeight);
  DrawScene(&actual);
  const std::string golden = std::string(RASTER_GOLDEN_DIR) + "/scene.png";

  const char* update = getenv("QUENBAR_UPDATE_GOLDEN");
  if (update && *update == '1')
  {
    ASSERT_TRUE(Raster_WritePNG(golden.c_str(), &actual)) << golden;
    printf("golden image rewritten: %s\n", golden.c_str());
    return;
  }

  std::unique_ptr<Raster_IBitmap> want(Raster_LoadPNG(golden.c_str()));
  ASSERT_NE(want, nullptr) << "missing " << golden << " (generate with QUENBAR_UPDATE_GOLDEN=1)";
  ASSERT_EQ(want->getWidth(), kSceneWidth);
  ASSERT_EQ(want->getHeight(), kSceneHeight);

  Raster_MemBitmap diff(kSceneWidth, kSceneHeight);
  int differing = 0;
  for (int y = 0; y < kSceneHeight; ++y)
    for (int x = 0; x < kSceneWidth; ++x)
    {
      const Raster_Pixel a = Raster_GetPixel(&actual, x, y), b = Raster_GetPixel(want.get(), x, y);
      // Differences in red on a dimmed copy of the expected image.
      Raster_RowPtr(&diff, y)[x] = a == b ? (0xFF000000 | ((b >> 2) & 0x003F3F3F)) : 0xFFFF0000;
      differing += a != b;
    }
  if (differing)
  {
    const std::string actualPath = OutputDir() + "/raster_scene_actual.png";
    const std::string diffPath = OutputDir() + "/raster_scene_diff.png";
    Raster_WritePNG(actualPath.c_str(), &actual);
    Raster_WritePNG(diffPath.c_str(), &diff);
    ADD_FAILURE() << differing << " pixels differ from " << golden << "\n  actual: " << actualPath
                  << "\n  difference: " << diffPath;
  }
}
