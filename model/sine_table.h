// Sine and cosine through a precomputed table, for the pose queries.
//
// Offers: sineTableSize, prepareSineTable, tableSin, tableCos.
// Lookups truncate towards zero: the result is the sine of the sample at or just below the
// reduced angle's magnitude (error at most one sample step, about 6.3e-6 rad).
#pragma once

namespace orva {

constexpr int sineTableSize = 1000000;

// Builds the table, once: setupCore calls it at start-up, before any lookup; later calls find it
// built and change nothing. A lookup before it gives NaN.
void prepareSineTable();
double tableSin(double angle);
double tableCos(double angle);

} // namespace orva
