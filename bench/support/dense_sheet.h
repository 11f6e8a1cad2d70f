#pragma once

#include "elements/element.h"

// A dense A3 landscape sheet (420 x 297 mm) of mixed line work, like a crowded schematic:
// orthogonal wires, short symbol strokes, curves, dashed and two-colour lines, line ends, and
// closed parts (boxes, circles, triangles), some filled or hatched.
// The same seed always gives the same sheet.
TElementList MakeDenseSheet(int count, unsigned seed = 1);

constexpr int kA3Width = 4200; // world units
constexpr int kA3Height = 2970;
