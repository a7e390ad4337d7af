#pragma once

// Keeps a bone's baked rotation keys continuous: of every Euler triple that gives a key's
// orientation in the XYZ rotation order, the one closest to the previous key. Without it a
// bone turning past 180 degrees jumps from 179 to -179 between two keys, and everything that
// interpolates between keys (motion blur, retiming, layers) spins it nearly a full turn.
class EulerContinuity {
public:
    // `angles` (degrees, XYZ order) and its alternate solution (x+180, 180-y, z+180), each
    // axis moved by whole turns to lie nearest `previous`; the one with the smaller sum of
    // absolute axis differences from `previous` is written to `out`. The orientation never
    // changes; ties keep the sample's own branch.
    static void closest(const double previous[3], const double angles[3], double out[3]);

    // `angle` plus the whole number of turns that brings it nearest `reference`.
    static double nearestTurn(double angle, double reference);

    EulerContinuity() = delete;
};
