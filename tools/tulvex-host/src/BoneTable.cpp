#include "BoneTable.h"

const std::array<BoneTable::Bone, BoneTable::kBoneCount>& BoneTable::bones() {
    static const std::array<Bone, kBoneCount> table = {{
        {"root", kNoParent}, {"torso_1", 0},    {"torso_2", 1}, {"torso_3", 2},
        {"torso_4", 3},      {"torso_5", 4},    {"torso_6", 5}, {"torso_7", 6},
        {"neck_1", 7},       {"neck_2", 8},     {"head", 9},    {"l_shoulder", 7},
        {"l_up_arm", 11},    {"l_low_arm", 12}, {"l_hand", 13}, {"r_shoulder", 7},
        {"r_up_arm", 15},    {"r_low_arm", 16}, {"r_hand", 17}, {"l_up_leg", 0},
        {"l_low_leg", 19},   {"l_foot", 20},    {"l_toes", 21}, {"r_up_leg", 0},
        {"r_low_leg", 23},   {"r_foot", 24},    {"r_toes", 25},
    }};
    return table;
}

std::string BoneTable::skeletonName(int deviceId) {
    return "tulvexCharacter" + std::to_string(deviceId) + "_Skeleton";
}

std::string BoneTable::jointName(const std::string& skeleton, int bone) {
    return skeleton + "_" + bones().at(static_cast<std::size_t>(bone)).name;
}
