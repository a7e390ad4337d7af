// Rotations: Maya's row-vector convention (kXYZ turns about X first), the worked examples,
// round trips, order sensitivity, and what non-unit or NaN quaternions give.
#include <gtest/gtest.h>
#include <maya/MEulerRotation.h>
#include <maya/MQuaternion.h>
#include <maya/MVector.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTol = 1e-6;

double rad(double degrees) {
    return degrees * kPi / 180.0;
}

void expectQuaternion(const MQuaternion& q, double x, double y, double z, double w) {
    EXPECT_NEAR(q.x, x, kTol);
    EXPECT_NEAR(q.y, y, kTol);
    EXPECT_NEAR(q.z, z, kTol);
    EXPECT_NEAR(q.w, w, kTol);
}

// Turns a vector by q independently of the matrix decomposition: q v q*.
MVector rotate(const MQuaternion& q, const MVector& v) {
    const MVector u(q.x, q.y, q.z);
    const MVector t(2 * (u.y * v.z - u.z * v.y), 2 * (u.z * v.x - u.x * v.z),
                    2 * (u.x * v.y - u.y * v.x));
    return MVector(v.x + q.w * t.x + (u.y * t.z - u.z * t.y),
                   v.y + q.w * t.y + (u.z * t.x - u.x * t.z),
                   v.z + q.w * t.z + (u.x * t.y - u.y * t.x));
}

TEST(RotationTest, QuarterTurnAboutZ) {
    const double h = std::sqrt(0.5);
    const MQuaternion q(0, 0, h, h);
    const MEulerRotation e = q.asEulerRotation();
    EXPECT_EQ(e.order, MEulerRotation::kXYZ);
    EXPECT_NEAR(e.x, 0.0, kTol);
    EXPECT_NEAR(e.y, 0.0, kTol);
    EXPECT_NEAR(e.z, rad(90), kTol);
    const MVector turned = rotate(q, MVector(1, 0, 0));
    EXPECT_NEAR(turned.x, 0.0, kTol);
    EXPECT_NEAR(turned.y, 1.0, kTol);
    EXPECT_NEAR(turned.z, 0.0, kTol);
}

TEST(RotationTest, XyzOrderTurnsAboutXFirst) {
    const MEulerRotation e(rad(90), 0, rad(90));
    expectQuaternion(e.asQuaternion(), 0.5, 0.5, 0.5, 0.5);
    // Turning about Z first is a different rotation.
    const MEulerRotation zFirst(rad(90), 0, rad(90), MEulerRotation::kZYX);
    expectQuaternion(zFirst.asQuaternion(), 0.5, -0.5, 0.5, 0.5);
    EXPECT_FALSE(e.asQuaternion().isEquivalent(zFirst.asQuaternion(), 1e-3));

    // Maya's product composes in the same order: X's turn, then Z's.
    const MQuaternion aboutX = MEulerRotation(rad(90), 0, 0).asQuaternion();
    const MQuaternion aboutZ = MEulerRotation(0, 0, rad(90)).asQuaternion();
    expectQuaternion(aboutX * aboutZ, 0.5, 0.5, 0.5, 0.5);
    expectQuaternion(aboutZ * aboutX, 0.5, -0.5, 0.5, 0.5);

    const MEulerRotation back = MQuaternion(0.5, 0.5, 0.5, 0.5).asEulerRotation();
    EXPECT_NEAR(back.x, rad(90), kTol);
    EXPECT_NEAR(back.y, 0.0, kTol);
    EXPECT_NEAR(back.z, rad(90), kTol);
}

TEST(RotationTest, GeneralAnglesBothWays) {
    const MEulerRotation e(rad(30), rad(45), rad(60));
    expectQuaternion(e.asQuaternion(), 0.022260, 0.439680, 0.360423, 0.822363);
    MEulerRotation back;
    back = MQuaternion(0.0222600267, 0.4396797395, 0.3604234056, 0.8223631719);
    EXPECT_NEAR(back.x, rad(30), kTol);
    EXPECT_NEAR(back.y, rad(45), kTol);
    EXPECT_NEAR(back.z, rad(60), kTol);
    EXPECT_EQ(back.order, MEulerRotation::kXYZ);
}

TEST(RotationTest, RoundTripsAwayFromGimbalLock) {
    int checked = 0;
    for (int x = -170; x <= 170; x += 34) {
        for (int y = -85; y <= 85; y += 17) {
            for (int z = -170; z <= 170; z += 34) {
                const MEulerRotation e(rad(x), rad(y), rad(z));
                const MQuaternion q = e.asQuaternion();
                EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0, 1e-12);
                const MEulerRotation back = q.asEulerRotation();
                EXPECT_TRUE(back.isEquivalent(e, 1e-9)) << x << ' ' << y << ' ' << z;
                // And quaternion -> Euler -> quaternion, up to the sign of q.
                const MQuaternion again = back.asQuaternion();
                const double sign =
                    again.w * q.w + again.x * q.x + again.y * q.y + again.z * q.z < 0 ? -1.0 : 1.0;
                EXPECT_TRUE(again.isEquivalent(
                    MQuaternion(sign * q.x, sign * q.y, sign * q.z, sign * q.w), 1e-9));
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 11 * 11 * 11);
}

TEST(RotationTest, DegenerateQuaternionsGiveWhatTheFormulasGive) {
    // A zero quaternion builds the identity matrix.
    const MEulerRotation zero = MQuaternion(0, 0, 0, 0).asEulerRotation();
    EXPECT_EQ(zero.x, 0.0);
    EXPECT_EQ(zero.y, 0.0);
    EXPECT_EQ(zero.z, 0.0);

    const MEulerRotation nan = MQuaternion(std::nan(""), 0, 0, 1).asEulerRotation();
    EXPECT_TRUE(std::isnan(nan.x));
    EXPECT_TRUE(std::isnan(nan.y));
    EXPECT_TRUE(std::isnan(nan.z));

    // Slightly longer than unit at gimbal lock: the asin argument is clamped, not NaN.
    const MEulerRotation lock = MQuaternion(0, 0.7072, 0, 0.7072).asEulerRotation();
    EXPECT_DOUBLE_EQ(lock.y, kPi / 2);
    EXPECT_FALSE(std::isnan(lock.x));
    EXPECT_FALSE(std::isnan(lock.z));
}

TEST(RotationTest, IdentitiesVectorsAndEquivalence) {
    EXPECT_TRUE(MQuaternion().isEquivalent(MQuaternion(0, 0, 0, 1)));
    EXPECT_TRUE(MQuaternion::identity.isEquivalent(MQuaternion(0, 0, 0, 1)));
    EXPECT_TRUE(MEulerRotation::identity.isEquivalent(MEulerRotation(0, 0, 0)));
    EXPECT_TRUE(MQuaternion::identity.asEulerRotation().isEquivalent(MEulerRotation::identity));
    EXPECT_TRUE(MEulerRotation::identity.asQuaternion().isEquivalent(MQuaternion::identity));
    const MQuaternion q(0.1, 0.2, 0.3, 0.9);
    EXPECT_TRUE((q * MQuaternion::identity).isEquivalent(q));
    EXPECT_TRUE((MQuaternion::identity * q).isEquivalent(q));

    EXPECT_FALSE(MQuaternion(0, 0, 0, 1).isEquivalent(MQuaternion(0, 0, 1e-9, 1)));
    EXPECT_TRUE(MQuaternion(0, 0, 0, 1).isEquivalent(MQuaternion(0, 0, 1e-9, 1), 1e-8));
    EXPECT_FALSE(
        MEulerRotation(1, 2, 3).isEquivalent(MEulerRotation(1, 2, 3, MEulerRotation::kZYX)));

    const MEulerRotation fromVector(MVector(0.1, 0.2, 0.3), MEulerRotation::kYZX);
    EXPECT_EQ(fromVector.order, MEulerRotation::kYZX);
    const MVector v = fromVector.asVector();
    EXPECT_EQ(v.x, 0.1);
    EXPECT_EQ(v.y, 0.2);
    EXPECT_EQ(v.z, 0.3);
    EXPECT_DOUBLE_EQ(MVector(3, 4).length(), 5.0);
    EXPECT_EQ(MVector::zero.length(), 0.0);
}

}  // namespace
