#include "scene.h"

#include <cmath>

namespace {

const float kPi = 3.14159265f;

// A 32 x 32 sprite: colour bands with a soft-edged round alpha mask and a marker corner, so
// rotation, mirroring and scaling are all visible.
void MakeSprite(Raster_MemBitmap& s)
{
  s.resize(32, 32);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
    {
      const double d = std::sqrt((x - 15.5) * (x - 15.5) + (y - 15.5) * (y - 15.5));
      int a = (int)((16.0 - d) * 128.0);
      a = a < 0 ? 0 : (a > 255 ? 255 : a);
      const int r = (x / 8) % 2 ? 230 : 40, g = y * 8, b = 255 - x * 8;
      Raster_RowPtr(&s, y)[x] = Raster_RGBA(r, g, b, a);
    }
  Raster_FillRect(&s, 0, 0, 8, 8, 0xFFFFFF00, 1.0f, RASTER_MODE_COPY);  // opaque yellow corner
}

void Background(Raster_IBitmap* bm)
{
  for (int y = 0; y < kSceneHeight; ++y)
    Raster_FillRect(bm, 0, y, kSceneWidth, 1, Raster_RGBA(30 + y / 4, 34 + y / 5, 48 + y / 3, 255), 1.0f,
                    RASTER_MODE_COPY);
}

void Lines(Raster_IBitmap* bm)
{
  for (int i = 0; i < 8; ++i)
  {
    const float a = i * kPi / 8;
    const int x2 = 40 + (int)std::lround(34 * std::cos(a)), y2 = 40 - (int)std::lround(34 * std::sin(a));
    Raster_Line(bm, 40, 40, x2, y2, 0xFFFFE080, 1.0f, RASTER_MODE_COPY, i % 2 == 0);
  }
  Raster_Line(bm, 6, 50, 74, 76, 0xFF80FF80, 1.0f, RASTER_MODE_COPY, true);
  Raster_Line(bm, 6, 56, 74, 82, 0xFF80FF80, 1.0f, RASTER_MODE_COPY, false);
  Raster_Line(bm, 6, 60, 30, 84, 0xFFFF8080, 0.5f, RASTER_MODE_COPY, true);
  Raster_Line(bm, -20, 2, 400, 2, 0xFFFFFFFF, 0.25f, RASTER_MODE_COPY, false);  // clipped both ends
}

void Circles(Raster_IBitmap* bm)
{
  const float small[] = {1.5f, 2, 2.5f, 3, 3.5f, 4};
  for (int i = 0; i < 6; ++i)
  {
    Raster_Circle(bm, 92 + i * 11, 10, small[i], 0xFFFFFFFF, 1.0f, RASTER_MODE_COPY, false);
    Raster_Circle(bm, 92 + i * 11, 22, small[i], 0xFFFFFFFF, 1.0f, RASTER_MODE_COPY, true);
  }
  Raster_Circle(bm, 110, 55, 18, 0xFF60C0FF, 1.0f, RASTER_MODE_COPY, false);
  Raster_Circle(bm, 150, 55, 18, 0xFF60C0FF, 1.0f, RASTER_MODE_COPY, true);
  Raster_FillCircle(bm, 110, 55, 9, 0xFFFF6040, 1.0f, RASTER_MODE_COPY, false);
  Raster_FillCircle(bm, 150, 55, 9.5f, 0xFFFF6040, 0.75f, RASTER_MODE_COPY, true);
  Raster_Arc(bm, 190, 40, 16, -kPi / 2, kPi * 0.8f, 0xFFFFFF60, 1.0f, RASTER_MODE_COPY, true);
  Raster_Arc(bm, 190, 40, 10, kPi / 4, kPi * 1.25f, 0xFF60FF60, 1.0f, RASTER_MODE_COPY, false);
  Raster_FillCircle(bm, 355, 5, 12, 0xFFC080FF, 1.0f, RASTER_MODE_COPY, true);  // clipped at the corner
}

void Shapes(Raster_IBitmap* bm)
{
  Raster_RoundRect(bm, 220, 8, 60, 34, 8, 0xFFFFFFFF, 1.0f, RASTER_MODE_COPY, true);
  Raster_RoundRect(bm, 226, 14, 48, 22, 1, 0xFFFFA0A0, 1.0f, RASTER_MODE_COPY, false);
  Raster_RoundRect(bm, 290, 8, 60, 34, 5, 0xFFA0FFA0, 1.0f, RASTER_MODE_COPY, false);
  Raster_DrawRect(bm, 296, 14, 48, 22, 0xFFA0A0FF, 0.5f, RASTER_MODE_COPY);
  Raster_FillTriangle(bm, 220, 90, 250, 50, 280, 86, 0xFF40A0FF, 1.0f, RASTER_MODE_COPY);
  const int px[6] = {300, 330, 350, 340, 305, 292}, py[6] = {52, 50, 66, 88, 90, 72};
  Raster_FillConvexPolygon(bm, px, py, 6, 0xFFFFC040, 0.5f, RASTER_MODE_COPY);
  Raster_FillTriangle(bm, 250, 60, 320, 70, 270, 95, 0x80FF00FF, 1.0f, RASTER_MODE_ADD | RASTER_MODE_SOURCEALPHA);
}

// One swatch per combine mode: a colour ramp blended over a fixed square.
void BlendModes(Raster_IBitmap* bm)
{
  Raster_MemBitmap ramp(24, 24);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x)
      Raster_RowPtr(&ramp, y)[x] = Raster_RGBA(x * 10, y * 10, 255 - x * 10, (x + y) * 5 + 15);
  const int modes[] = {RASTER_MODE_COPY,   RASTER_MODE_ADD,     RASTER_MODE_DODGE,
                       RASTER_MODE_MUL,    RASTER_MODE_OVERLAY, RASTER_MODE_HSVADJ,
                       RASTER_MODE_COPY | RASTER_MODE_SOURCEALPHA, RASTER_MODE_ADD | RASTER_MODE_SOURCEALPHA,
                       RASTER_MODE_MUL | RASTER_MODE_SOURCEALPHA, Raster_ChanCopyMode(2, 0)};
  for (int i = 0; i < 10; ++i)
  {
    const int x = 8 + i * 34, y = 104;
    Raster_FillRect(bm, x, y, 28, 28, 0xFF8080A0, 1.0f, RASTER_MODE_COPY);
    Raster_FillRect(bm, x + 4, y + 4, 20, 10, 0xFF204060, 1.0f, RASTER_MODE_COPY);
    Raster_Blit(bm, &ramp, x + 2, y + 2, nullptr, i % 3 == 2 ? 0.6f : 1.0f, modes[i]);
  }
  // Fills at the fixed weights and a blended one.
  const float weights[] = {1.0f, 0.75f, 0.5f, 0.25f, 0.4f};
  for (int i = 0; i < 5; ++i)
    Raster_FillRect(bm, 8 + i * 14, 138, 12, 12, 0xFFFF4040, weights[i], RASTER_MODE_COPY);
  Raster_ClearRect(bm, 80, 138, 12, 12, 0xFF00FF00, 0x000000C0);
  for (int i = 0; i < 12; ++i) Raster_PutPixel(bm, 96 + i, 138 + i, 0xFFFFFFFF, 0.5f, RASTER_MODE_COPY);
}

void Blits(Raster_IBitmap* bm)
{
  Raster_MemBitmap sprite;
  MakeSprite(sprite);
  const int y = 156;
  Raster_Blit(bm, &sprite, 8, y, nullptr, 1.0f, RASTER_MODE_SOURCEALPHA);
  Raster_ScaledBlit(bm, &sprite, 44, y, 20, 20, 0, 0, 32, 32, 1.0f, RASTER_MODE_SOURCEALPHA);
  Raster_ScaledBlit(bm, &sprite, 68, y, 20, 20, 0, 0, 32, 32, 1.0f, RASTER_MODE_SOURCEALPHA | RASTER_MODE_FILTER);
  Raster_ScaledBlit(bm, &sprite, 92, y, 10, 10, 0, 0, 32, 32, 1.0f, RASTER_MODE_COPY | RASTER_MODE_FILTER);  // 5x5
  Raster_ScaledBlit(bm, &sprite, 104, y, 16, 16, 0, 0, 32, 32, 1.0f, RASTER_MODE_COPY | RASTER_MODE_FILTER); // 3x3
  Raster_ScaledBlit(bm, &sprite, 124, y, 44, 44, 4, 4, 24, 24, 1.0f, RASTER_MODE_COPY | RASTER_MODE_FILTER);
  Raster_ScaledBlit(bm, &sprite, 172 + 32, y, -32, 32, 0, 0, 32, 32, 1.0f, RASTER_MODE_COPY);  // mirrored
  Raster_ScaledBlit(bm, &sprite, 208, y, 24, 40, 0, 0, 32, 32, 0.5f, RASTER_MODE_COPY);
  for (int i = 0; i < 4; ++i)
  {
    const double angle = (i + 1) * 0.5;
    const int mode = (i % 2 ? RASTER_MODE_FILTER : 0) | RASTER_MODE_SOURCEALPHA;
    Raster_RotatedBlit(bm, &sprite, 238 + i * 30, y, 30, 30, 0, 0, 32, 32, angle, false, 1.0f, mode);
  }
  Raster_RotatedBlit(bm, &sprite, 240, y + 30, 40, 20, 0, 0, 32, 32, 0.3, true, 0.8f, RASTER_MODE_FILTER,
                     2.0, -1.0);
  Raster_RotatedBlit(bm, &sprite, 290, y + 30, 30, 30, 0, 0, 32, 32, -0.7, false, 1.0f, RASTER_MODE_ADD);
}

} // namespace

void DrawScene(Raster_IBitmap* bm)
{
  Background(bm);
  Lines(bm);
  Circles(bm);
  Shapes(bm);
  BlendModes(bm);
  Blits(bm);
  DrawSceneText(bm, kSceneTextArea);
}
