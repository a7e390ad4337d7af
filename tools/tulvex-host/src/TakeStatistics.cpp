#include "TakeStatistics.h"

#include "VectorKeySource.h"

int TakeStatistics::detectedStreamRate(double frameRate) {
    struct Pair {
        double frameRate;
        int streamRate;
    };
    static constexpr Pair kPairs[] = {{60.0, 30}, {80.0, 50}, {90.0, 60}};
    for (const Pair& pair : kPairs) {
        if (frameRate == pair.frameRate) {
            return pair.streamRate;
        }
    }
    return 0;
}

int TakeStatistics::filledKeyCount(const KeySource& keys) {
    int filled = 0;
    const std::size_t count = keys.count();
    double previous = count > 0 ? keys.at(0).time : 0.0;
    for (std::size_t i = 1; i < count; ++i) {
        const double time = keys.at(i).time;
        // The baker steps by exactly 1.0 from the key before, so equality is what it wrote.
        if (time == previous + 1.0) {
            ++filled;
        }
        previous = time;
    }
    return filled;
}

int TakeStatistics::filledKeyCount(const std::vector<SceneData::Key>& keys) {
    return filledKeyCount(VectorKeySource(keys));
}
