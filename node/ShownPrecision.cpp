#include "ShownPrecision.h"

double ShownPrecision::round(double value) {
    return static_cast<double>(static_cast<float>(value));
}

void ShownPrecision::round3(const double* values, double* rounded) {
    for (int c = 0; c < 3; ++c) {
        rounded[c] = round(values[c]);
    }
}
