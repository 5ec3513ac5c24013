// Text from a bitmap font: a film strip with one fixed-size glyph per printable ASCII
// character (frame 1 is the space, code 32; frame k holds code k + 31), blitted cell by cell.
// Threads: UI thread only (it draws into the core's drawing bitmap). The glyph strip is a
// view on the bitmap cache, not owned.
#pragma once

#include "graphics/IControl.h"

// UI thread, inside IGraphics::Draw. Lays str out in *pR: aligned by pText's mAlign alone
// (centred when pText is null), the first line at the top or, with vCentre, centred
// vertically; with multiLine a text wider than the rectangle wraps onto further lines,
// otherwise it is cut at what fits. charOffset is the extra gap after each glyph (negative
// overlaps) and is not part of the width used for alignment. Draws nothing for a null or
// empty text, a missing graphics core, glyph strip or rectangle, a glyph width below 1 or
// a rectangle narrower than one glyph. Control codes and bytes from 128 up show frame 1.
void DrawBitmapedText(IGraphics* pGraphics, IBitmap* pGlyphs, IRECT* pR, IText* pText, IChannelBlend* pBlend,
                      const char* str, bool vCentre, bool multiLine, int charWidth, int charHeight,
                      int charOffset);

// A control that shows a settable text with a bitmap font.
class IBitmapTextControl : public IControl
{
public:
  // UI thread. Null texts count as ""; a null style is the default one (centred).
  IBitmapTextControl(IPluginBase* plug, IRECT rect, IBitmap* pGlyphs, const char* str = "",
                     const IText* pText = nullptr, int charWidth = 6, int charHeight = 12, int charOffset = 0,
                     bool multiLine = false, bool vCentre = true);
  // UI thread, inside IGraphics::Draw: DrawBitmapedText with the control's settings.
  bool Draw(IGraphics* pGraphics) override;
  // UI thread: a different text (byte-wise; null counts as "") marks the control dirty and
  // replaces the shown one; the same text changes nothing.
  void SetTextFromPlug(char* str) override;
  // UI thread: the shown text, owned by the control.
  const char* GetTextForPlug() const { return mStr.Get(); }

protected:
  Util_String mStr;
  int mCharWidth, mCharHeight, mCharOffset;
  IBitmap mTextBitmap;
  bool mMultiLine;
  bool mVCentre;
};
