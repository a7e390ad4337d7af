#pragma once

namespace mayahost {

// MEL's vector: three floats, read by component with $v.x, $v.y, $v.z.
struct MelVector {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

}  // namespace mayahost
