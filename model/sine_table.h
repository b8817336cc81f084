// Sine and cosine through a precomputed table, for the pose queries.
//
// Offers: sineTableSize, prepareSineTable, tableSin, tableCos.
// Lookups truncate towards zero: the result is the sine of the sample at or just below the
// reduced angle's magnitude (error at most one sample step, about 6.3e-6 rad).
#pragma once

namespace orva {

constexpr int sineTableSize = 1000000;

// The table is built once, on first use, and never written again; setupCore builds it at
// start-up so that no later call pays for it.
void prepareSineTable();
double tableSin(double angle);
double tableCos(double angle);

} // namespace orva
