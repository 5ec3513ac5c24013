#include "scene.h"

// The text row: the scene's bottom 40 pixels.
const RECT kSceneTextArea = {0, kSceneHeight - 40, kSceneWidth, kSceneHeight};

namespace {

struct TextStyle
{
  int px, weight;
  bool italic;
  int fontFlags;
  Raster_Pixel color, effect, background;
  int bkMode, mode;
  float alpha;
  const char* text;
};

} // namespace

// Three styles side by side, each centred in a third of the row: plain on an opaque
// background, bold with an outline, italic with a drop shadow added at 75 %. The glyph path
// only (no native rendering), so the bitmap kind does not matter.
void DrawSceneText(Raster_IBitmap* bm, const RECT& area)
{
  static const TextStyle styles[3] = {
      {14, FW_NORMAL, false, 0, 0xFFFFFFFF, 0, 0xFF303060, 1, RASTER_MODE_COPY, 1.0f, "Plain 14"},
      {16, FW_BOLD, false, RASTER_FONT_OUTLINE, 0xFFFFE040, 0xFF000000, 0, 0, RASTER_MODE_COPY, 1.0f, "Outline"},
      {12, FW_NORMAL, true, RASTER_FONT_SHADOW, 0xFF80C0FF, 0xFF603020, 0, 0, RASTER_MODE_ADD, 0.75f, "Shadow+add"},
  };
  const int third = (area.right - area.left) / 3;
  for (int i = 0; i < 3; ++i)
  {
    const TextStyle& s = styles[i];
    Raster_CachedFont font;
    font.SetFromHFont(CreateFont(s.px, 0, 0, 0, s.weight, s.italic, 0, 0, 0, 0, 0, 0, 0, "DejaVu Sans"),
                      s.fontFlags | RASTER_FONT_OWNS_HFONT);
    font.SetTextColor(s.color);
    font.SetEffectColor(s.effect);
    font.SetBkColor(s.background);
    font.SetBkMode(s.bkMode);
    font.SetCombineMode(s.mode, s.alpha);
    RECT r{area.left + i * third, area.top, area.left + (i + 1) * third, area.bottom};
    font.DrawText(bm, s.text, -1, &r, DT_CENTER | DT_VCENTER);
  }
}
