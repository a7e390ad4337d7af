#include "KeptTakeNames.h"

#include <gtest/gtest.h>

#include <set>

namespace {

TEST(KeptTakeNamesTest, TheFirstNumberFreeForEveryCurveIsTaken) {
    const std::vector<std::string> curves = {"s_root_tx", "s_root_ty"};
    std::set<std::string> names;
    const auto taken = [&names](const std::string& name) { return names.count(name) != 0; };
    EXPECT_EQ(KeptTakeNames::firstFreeTake(curves, taken), 1);
    // One curve of a take is enough to hold its number; a gap is used again.
    names = {"s_root_tx_take1", "s_root_ty_take2", "s_root_tx_take4"};
    EXPECT_EQ(KeptTakeNames::firstFreeTake(curves, taken), 3);
    EXPECT_EQ(KeptTakeNames::curveName("s_root_tx", 12), "s_root_tx_take12");
}

TEST(KeptTakeNamesTest, PlugNamesSplitIntoNodeAttributeAndIndex) {
    KeptTakeNames::PlugName plug;
    ASSERT_TRUE(KeptTakeNames::splitPlugName("joint1.translateX", plug));
    EXPECT_EQ(plug.node, "joint1");
    EXPECT_EQ(plug.attribute, "translateX");
    EXPECT_FALSE(plug.hasIndex);
    ASSERT_TRUE(KeptTakeNames::splitPlugName("blend.weight[12]", plug));
    EXPECT_EQ(plug.attribute, "weight");
    EXPECT_TRUE(plug.hasIndex);
    EXPECT_EQ(plug.index, 12U);
    for (const char* bad : {"joint1", ".tx", "joint1.", "n.a[0].b", "n.a[]", "n.a[x]", "n.a[1",
                            "n.[1]", "n.a[1]x", "n.a[9999999999]"}) {
        EXPECT_FALSE(KeptTakeNames::splitPlugName(bad, plug)) << bad;
    }
}

}  // namespace
