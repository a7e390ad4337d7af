// The character in scenes of other units: the node's outputs carry centimetres and radians,
// so a bound joint and the baked curves show the performer's true pose in metres or radians,
// and a centimetre/degree scene shows what it always did.
#include <cmath>
#include <string>
#include <vector>

#include "FlowFixture.h"

namespace flowtest {
namespace {

constexpr double kRadiansPerDegree = 0.017453292519943295;
const std::string kRoot = "tulvexCharacter0_Skeleton_root";
const std::string kHand = "tulvexCharacter0_Skeleton_l_hand";

class SceneUnitFlow : public FlowTest {
protected:
    // Key k of a curve as `keyframe -query` gives it, at full precision.
    static double keyValue(const std::string& curve, std::size_t k) {
        return melNumber("float $v[] = `keyframe -q -vc " + curve + "`; $v[" + std::to_string(k) +
                         "]");
    }
    static double keyTime(const std::string& curve, std::size_t k) {
        return melNumber("float $t[] = `keyframe -q -tc " + curve + "`; $t[" + std::to_string(k) +
                         "]");
    }
    static std::size_t keyCount(const std::string& curve) {
        return static_cast<std::size_t>(melNumber("keyframe -q -kc " + curve));
    }

    // The phone's pose: the root 90 cm up and n cm along x, every bone turned n degrees about
    // z, n the frame number. Checked against what the joints show in the scene's units.
    void expectPhonePose(double cmPerUi, double degreesPerUi) {
        const double up = melNumber("getAttr " + kRoot + ".ty") * cmPerUi;
        EXPECT_NEAR(up, 90.0, 1e-4) << "the root's height in centimetres";
        const double along = melNumber("getAttr " + kRoot + ".tx") * cmPerUi;
        EXPECT_NEAR(along, std::round(along), 1e-3);
        EXPECT_GT(along, 0.5);
        EXPECT_LE(along, mPhone->framesSent() + 0.5);
        const double turn = melNumber("getAttr " + kHand + ".rz") * degreesPerUi;
        EXPECT_NEAR(turn, std::round(turn), 1e-3) << "whole degrees";
        EXPECT_LE(std::fabs(turn), 180.0);
    }

    // Records about a second, plays the baked take on the character and checks a few keys:
    // the joints show the curves' values, which are the phone's pose.
    void recordAndPlayBack(double cmPerUi, double degreesPerUi) {
        click(panelControlName("recording", 0));
        playFor(std::chrono::milliseconds(1200));
        click(panelControlName("recording", 0));
        ASSERT_TRUE(pumpUntil([] { return !melList("ls -type animCurveTA").empty(); }));
        idle();
        EXPECT_EQ(melList("ls -type animCurveTA").size(), 81U);
        EXPECT_EQ(melList("ls -type animCurveTL").size(), 81U);
        mel("tulvexPlayTake 0");
        idle();
        EXPECT_TRUE(melList("listConnections -s 1 -d 0 " + kHand + ".rz") ==
                    std::vector<std::string>{kHand + "_rz"})
            << "an angle curve drives the rotation with no conversion";
        const std::size_t keys = keyCount(kRoot + "_tx");
        ASSERT_GE(keys, 10U);
        ASSERT_EQ(keyCount(kHand + "_rz"), keys);
        for (const std::size_t k : {std::size_t{0}, keys / 2, keys - 1}) {
            SCOPED_TRACE("key " + std::to_string(k));
            mel("currentTime " + std::to_string(keyTime(kRoot + "_tx", k)));
            pump();
            EXPECT_DOUBLE_EQ(melNumber("getAttr " + kRoot + ".tx"), keyValue(kRoot + "_tx", k));
            const double z = keyValue(kHand + "_rz", k);
            EXPECT_DOUBLE_EQ(melNumber("getAttr " + kHand + ".rz"), z);
            if (k == 0 || k == keys - 1) {
                // The first and last keys are samples: the phone's whole degrees.
                EXPECT_NEAR(z * degreesPerUi, std::round(z * degreesPerUi), 1e-3);
            } else {
                // A busy (sanitised) run may fill a frame: such a key lies between its
                // neighbours, as the turn grows a degree a frame.
                EXPECT_GE(z, keyValue(kHand + "_rz", k - 1));
                EXPECT_LE(z, keyValue(kHand + "_rz", k + 1));
            }
            EXPECT_NEAR(melNumber("getAttr " + kRoot + ".ty") * cmPerUi, 90.0, 1e-4);
        }
    }
};

TEST_F(SceneUnitFlow, AMetreSceneShowsThePoseInMetresLiveAndBaked) {
    loadPlugin();
    mel("currentUnit -linear meter");
    streamAndBind();
    ASSERT_FALSE(HasFailure());
    EXPECT_TRUE(melList("ls -type unitConversion").empty());
    pump();
    expectPhonePose(100.0, 1.0);
    recordAndPlayBack(100.0, 1.0);
}

TEST_F(SceneUnitFlow, ARadianSceneShowsThePoseInRadiansLiveAndBaked) {
    loadPlugin();
    mel("currentUnit -angle radian");
    streamAndBind();
    ASSERT_FALSE(HasFailure());
    EXPECT_TRUE(melList("ls -type unitConversion").empty());
    pump();
    expectPhonePose(1.0, 1.0 / kRadiansPerDegree);
    recordAndPlayBack(1.0, 1.0 / kRadiansPerDegree);
}

// The values a user saw before outputs had units: degrees rounded to single precision, and
// a joint that read them through a conversion by 0.017453292519943295.
TEST_F(SceneUnitFlow, ACentimetreDegreeSceneShowsTheSameValuesAsBefore) {
    loadPlugin();
    streamAndBind();
    ASSERT_FALSE(HasFailure());
    recordAndPlayBack(1.0, 1.0);
    const std::size_t keys = keyCount(kHand + "_rz");
    std::size_t filled = 0;
    for (std::size_t k = 0; k < keys; ++k) {
        SCOPED_TRACE("key " + std::to_string(k));
        const double shown = keyValue(kHand + "_rz", k);
        // The take's degrees, as a float: the curve shows them to within the last bit.
        const double degrees = static_cast<float>(shown);
        const bool sample = std::fabs(shown - degrees) <= std::fabs(degrees) * 2.3e-16;
        if (!sample && k > 0 && k + 1 < keys) {
            // A busy (sanitised) run may fill a frame between two samples.
            EXPECT_GT(shown, keyValue(kHand + "_rz", k - 1));
            EXPECT_LT(shown, keyValue(kHand + "_rz", k + 1));
            ++filled;
            continue;
        }
        EXPECT_TRUE(sample) << shown << " is not the float " << degrees;
        mel("currentTime " + std::to_string(keyTime(kHand + "_rz", k)));
        EXPECT_EQ(melNumber("getAttr " + kHand + ".rz"),
                  degrees * kRadiansPerDegree / kRadiansPerDegree)
            << "bit for bit what the joint read through the conversion";
    }
    EXPECT_LE(filled * 4, keys) << "most keys are the phone's samples";
}

}  // namespace
}  // namespace flowtest
