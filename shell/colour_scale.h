// The colour scale of the gait pictures and the lab's map: blue through green to yellow, even
// in lightness, so that it stays readable in grey.
//
// Offers: Rgb, scaleColour.
#pragma once

struct Rgb {
    int r, g, b; // 0..255
};

// The colour of u in [0, 1]; values outside, and undefined ones, are held at the ends.
Rgb scaleColour(double u);
