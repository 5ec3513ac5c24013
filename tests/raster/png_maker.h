// Test helper: encodes small PNG files with libpng in any colour type and bit depth.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PngDesc
{
  int width = 1, height = 1;
  int colorType = 2;     // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlace = false;
  std::vector<uint8_t> palette;  // r, g, b triples
  std::vector<uint8_t> trnsAlpha; // palette alphas
  bool trnsColor = false;         // tRNS with one transparent grey/RGB value
  int trnsGrey = 0, trnsR = 0, trnsG = 0, trnsB = 0;
  std::vector<std::vector<uint8_t>> rows;  // packed rows as libpng expects them
};

std::vector<uint8_t> MakePng(const PngDesc& desc);
bool WriteFile(const std::string& path, const std::vector<uint8_t>& data);
