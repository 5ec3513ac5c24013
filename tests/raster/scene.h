// The fixed scene of the golden-image test.
#pragma once

#include "raster/raster.h"

enum { kSceneWidth = 360, kSceneHeight = 240 };

// Draws every primitive, the blend modes and scaled and rotated blits into a bitmap of the
// scene's size, then calls DrawSceneText for the text row.
void DrawScene(Raster_IBitmap* bm);

// Text row of the scene, area kSceneTextArea: three text styles drawn with the cached font.
// Whoever changes what it draws regenerates golden/scene.png (QUENBAR_UPDATE_GOLDEN=1).
void DrawSceneText(Raster_IBitmap* bm, const RECT& area);
extern const RECT kSceneTextArea;
