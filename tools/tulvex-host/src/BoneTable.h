#pragma once

#include <array>
#include <string>

// The 27 bones the device node outputs, in output order, each after its parent.
class BoneTable {
public:
    static constexpr int kBoneCount = 27;
    static constexpr int kNoParent = -1;

    struct Bone {
        const char* name;
        int parent;
    };

    static const std::array<Bone, kBoneCount>& bones();

    // "tulvexCharacter<deviceId>_Skeleton", the name the node bakes its curves under.
    static std::string skeletonName(int deviceId);
    // "<skeleton>_<bone>"
    static std::string jointName(const std::string& skeleton, int bone);

    BoneTable() = delete;
};
