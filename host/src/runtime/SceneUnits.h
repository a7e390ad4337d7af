#pragma once

#include <string>

namespace mayahost {

// The scene's UI units for lengths and angles, by their MEL names (the time unit is the
// timeline's). Commands read and write values in these; the DG keeps centimetres and
// radians. Main thread only.
class SceneUnits {
public:
    // False, changing nothing, for a name `currentUnit` does not know.
    bool setLinear(const std::string& name);
    bool setAngle(const std::string& name);
    // Short MEL names ("cm", "deg"), or the long ones ("centimeter", "degree").
    std::string linear(bool fullName = false) const;
    std::string angle(bool fullName = false) const;
    double centimetresPerUnit() const;
    double radiansPerUnit() const;
    void reset();

private:
    int linear_ = 1;  // index into the table of linear units; 1 is cm
    int angle_ = 0;   // 0 is degrees, 1 radians
};

}  // namespace mayahost
