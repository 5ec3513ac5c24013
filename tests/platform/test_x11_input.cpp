// X11 input in the core's terms, without a server: modifiers, key codes,
// double clicks.
#include <gtest/gtest.h>

#include "graphics/IGraphics.h"
#include "platform/x11input.h"

#include <X11/X.h>
#include <X11/keysym.h>

namespace
{

TEST(X11Input, MouseModifiers)
{
  struct Case
  {
    unsigned state, button;
    bool l, r, s, c, a;
  };
  const Case cases[] = {
    {0, Button1, true, false, false, false, false},
    {0, Button3, false, true, false, false, false},
    {Button1Mask, Button3, false, true, false, false, false}, // the button of the event, not the held one
    {ShiftMask, Button1, true, false, true, false, false},
    {ControlMask, Button1, true, false, false, true, false},
    {Mod1Mask, Button3, false, true, false, false, true},
    {ShiftMask | ControlMask | Mod1Mask, Button1, true, false, true, true, true},
    {Button1Mask, 0, true, false, false, false, false},       // a drag with the left button
    {Button3Mask | ShiftMask, 0, false, true, true, false, false},
    {Mod2Mask | LockMask, 0, false, false, false, false, false}, // Num Lock, Caps Lock: nothing
    {0, Button4, false, false, false, false, false},
  };
  for (const Case& c : cases)
  {
    const IMouseMod m = X11_MouseMod(c.state, c.button);
    EXPECT_EQ(m.L, c.l) << c.state << "/" << c.button;
    EXPECT_EQ(m.R, c.r) << c.state << "/" << c.button;
    EXPECT_EQ(m.S, c.s) << c.state << "/" << c.button;
    EXPECT_EQ(m.C, c.c) << c.state << "/" << c.button;
    EXPECT_EQ(m.A, c.a) << c.state << "/" << c.button;
  }
}

TEST(X11Input, KeyCodes)
{
  const struct
  {
    unsigned long keysym;
    int code;
  } cases[] = {
    {XK_space, KEY_SPACE},   {XK_Up, KEY_UPARROW},      {XK_Down, KEY_DOWNARROW}, {XK_Left, KEY_LEFTARROW},
    {XK_Right, KEY_RIGHTARROW}, {XK_KP_Up, KEY_UPARROW}, {XK_0, KEY_DIGIT_0},      {XK_7, 12},
    {XK_9, KEY_DIGIT_9},     {XK_a, KEY_ALPHA_A},       {XK_A, KEY_ALPHA_A},      {XK_x, 38},
    {XK_X, 38},              {XK_z, KEY_ALPHA_Z},       {XK_Z, KEY_ALPHA_Z},      {XK_Return, -1},
    {XK_Escape, -1},         {XK_F1, -1},               {XK_exclam, -1},          {XK_adiaeresis, -1},
    {XK_KP_0, -1},           {0, -1},
  };
  for (const auto& c : cases) EXPECT_EQ(X11_KeyCode(c.keysym), c.code) << std::hex << c.keysym;
}

TEST(X11Input, DoubleClicksByTimeAndDistance)
{
  struct Press
  {
    unsigned button;
    unsigned long time;
    int x, y;
    bool dbl;
  };
  const struct
  {
    const char* name;
    std::vector<Press> presses;
  } cases[] = {
    {"quick and close", {{Button1, 1000, 10, 10, false}, {Button1, 1400, 14, 6, true}}},
    {"too slow", {{Button1, 1000, 10, 10, false}, {Button1, 1401, 10, 10, false}}},
    {"too far across", {{Button1, 1000, 10, 10, false}, {Button1, 1100, 15, 10, false}}},
    {"too far down", {{Button1, 1000, 10, 10, false}, {Button1, 1100, 10, 5, false}}},
    {"a third press starts anew", {{Button1, 0, 1, 1, false}, {Button1, 10, 1, 1, true}, {Button1, 20, 1, 1, false},
                                   {Button1, 30, 1, 1, true}}},
    {"slow pairs chain", {{Button1, 0, 1, 1, false}, {Button1, 500, 1, 1, false}, {Button1, 600, 1, 1, true}}},
    {"right double click is two right presses", {{Button3, 0, 1, 1, false}, {Button3, 10, 1, 1, false}}},
    {"a right press in between breaks it", {{Button1, 0, 1, 1, false}, {Button3, 5, 1, 1, false},
                                            {Button1, 10, 1, 1, false}}},
    {"server time wraps", {{Button1, 0xFFFFFF00ul, 3, 3, false}, {Button1, 0x10ul, 3, 3, true}}},
  };
  for (const auto& c : cases)
  {
    X11ClickTracker t;
    for (size_t i = 0; i < c.presses.size(); ++i)
    {
      const Press& p = c.presses[i];
      EXPECT_EQ(t.Press(p.button, p.time, p.x, p.y), p.dbl) << c.name << ", press " << i;
    }
  }
}

} // namespace
