#pragma once
// Clipping of integer rectangles [left, right) x [top, bottom): any record with int members
// left, top, right, bottom (RECT, the shim's clip). Pure, any thread.

// Narrows a to its overlap with b and returns whether that is non-empty. An empty overlap is
// collapsed (right = left or bottom = top), never left inverted.
template <class A, class B>
inline bool Util_IntersectRect(A& a, const B& b)
{
  if (b.left > a.left) a.left = b.left;
  if (b.top > a.top) a.top = b.top;
  if (b.right < a.right) a.right = b.right;
  if (b.bottom < a.bottom) a.bottom = b.bottom;
  if (a.right < a.left) a.right = a.left;
  if (a.bottom < a.top) a.bottom = a.top;
  return a.right > a.left && a.bottom > a.top;
}
