#pragma once

// The single precision a user is shown, for values the node holds as doubles. Kept in its
// own translation unit and never inlined: an optimiser that vectorised a float round trip
// has been seen to keep the double on some lanes, and every build must give the same bits.
class ShownPrecision {
public:
    // The value rounded to the nearest float, widened back.
    [[gnu::noinline]] static double round(double value);
    // Each of three components rounded so.
    [[gnu::noinline]] static void round3(const double* values, double* rounded);
};
