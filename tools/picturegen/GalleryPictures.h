#pragma once
#include "tools/picturegen/Pictures.h"

// The gallery's pictures: 4-bit strips and images on the standard 16 colours, drawn on olive (the
// colour of the bottom-left pixel, so a button draws them transparently).

// Four 16x16 frames side by side: normal, disabled, pushed and hot, a lamp in each look.
IndexedPicture MakeLampStates();
// Eight 16x16 frames of a red dot running round a grey ring: a button's animation strip.
IndexedPicture MakeSpinnerStrip();
// Four 30x25 frames stacked: normal, disabled, pushed and hot faces of a full-picture button.
IndexedPicture MakeFullFaces();
// A 32x32 star in one of three states: 0 normal (grey), 1 hot (yellow), 2 selected (green,
// with a dark outline).
IndexedPicture MakeStar(int state);
// A 24x24 tile of diamonds, for the background image's four modes.
IndexedPicture MakeDiamondTile();
