#include "TakeStatistics.h"

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

int TakeStatistics::filledKeyCount(const std::vector<SceneData::Key>& keys) {
    int filled = 0;
    for (std::size_t i = 1; i < keys.size(); ++i) {
        // The baker steps by exactly 1.0 from the key before, so equality is what it wrote.
        if (keys[i].time == keys[i - 1].time + 1.0) {
            ++filled;
        }
    }
    return filled;
}
