// The live pose smoother: its cost per 27-bone frame, and for each setting the jitter it
// leaves and the lag it adds. Jitter: a performer standing still (the walk's first pose) with
// sensor noise added; the RMS distance of the smoothed pose from the still pose. Lag: the
// emulator's clean walk; the delay of the true walk that the smoothed walk matches best, and
// the RMS error with no delay taken out.
//   tulvex_smoothing_bench [ROTATION_NOISE_DEGREES] [ROOT_NOISE_CM]   (default 0.5 0.3)
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <vector>

#include "PoseSmoother.h"
#include "Quaternion.h"
#include "Skeleton.h"
#include "WalkCycle.h"

namespace {

constexpr double kRate = 60.0;
constexpr int kFrames = 60 * 60;
constexpr int kBones = Skeleton::kBoneCount;
constexpr double kPi = 3.14159265358979323846;

using Pose = std::vector<SkeletonNodeInfo>;

// Read at the end, so the timed loops cannot be left out.
volatile double sink = 0.0;

// CPU time of this thread: less disturbed than the wall clock when the machine is busy.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

Pose poseOf(const WalkCycle& walk, double seconds) {
    const WalkCycle::Pose pose = walk.poseAt(seconds);
    Pose bones(kBones);
    for (int b = 0; b < kBones; ++b) {
        const Quaternion& q = pose.rotations[static_cast<std::size_t>(b)];
        bones[b].currentRotation[0] = q.x;
        bones[b].currentRotation[1] = q.y;
        bones[b].currentRotation[2] = q.z;
        bones[b].currentRotation[3] = q.w;
    }
    for (int c = 0; c < 3; ++c) {
        bones[Skeleton::kRoot].currentTranslation[c] =
            100.0 * pose.rootPositionMetres[static_cast<std::size_t>(c)];
    }
    return bones;
}

Quaternion rotationOf(const SkeletonNodeInfo& bone) {
    return {bone.currentRotation[0], bone.currentRotation[1], bone.currentRotation[2],
            bone.currentRotation[3]};
}

struct Error {
    double rotationDegrees = 0.0;  // RMS over bones and frames
    double rootCm = 0.0;
};

Error errorAgainst(const std::vector<Pose>& poses, const WalkCycle& walk, double delay,
                   bool still) {
    double rotation = 0.0;
    double root = 0.0;
    const int first = static_cast<int>(kRate);  // the filters' start-up left out
    for (int n = first; n < kFrames; ++n) {
        const Pose truth = poseOf(walk, still ? 0.0 : n / kRate - delay);
        for (int b = 0; b < kBones; ++b) {
            const double angle =
                rotationOf(poses[n][b]).angleTo(rotationOf(truth[b])) * 180.0 / kPi;
            rotation += angle * angle;
        }
        for (int c = 0; c < 3; ++c) {
            const double d = poses[n][Skeleton::kRoot].currentTranslation[c] -
                             truth[Skeleton::kRoot].currentTranslation[c];
            root += d * d;
        }
    }
    const double frames = kFrames - first;
    return {std::sqrt(rotation / (frames * kBones)), std::sqrt(root / frames)};
}

}  // namespace

int main(int argc, char** argv) {
    const double rotationNoise = argc > 1 ? std::atof(argv[1]) : 0.5;
    const double rootNoise = argc > 2 ? std::atof(argv[2]) : 0.3;
    const Skeleton skeleton;
    const WalkCycle walk(skeleton, 0.0);

    std::mt19937 random(1);
    std::normal_distribution<double> gauss(0.0, 1.0);
    std::vector<Pose> clean;
    std::vector<Pose> stillNoisy;
    for (int n = 0; n < kFrames; ++n) {
        clean.push_back(poseOf(walk, n / kRate));
        Pose pose = poseOf(walk, 0.0);
        for (SkeletonNodeInfo& bone : pose) {
            Vec3 axis{gauss(random), gauss(random), gauss(random)};
            const double length =
                std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
            for (double& a : axis) {
                a /= length;
            }
            const Quaternion shaken =
                Quaternion::fromAxisAngle(axis, gauss(random) * rotationNoise * kPi / 180.0) *
                rotationOf(bone);
            bone.currentRotation[0] = shaken.x;
            bone.currentRotation[1] = shaken.y;
            bone.currentRotation[2] = shaken.z;
            bone.currentRotation[3] = shaken.w;
        }
        for (double& c : pose[Skeleton::kRoot].currentTranslation) {
            c += gauss(random) * rootNoise;
        }
        stillNoisy.push_back(std::move(pose));
    }

    // Cost: the whole minute filtered again and again, one frame at a time, less the same
    // loop copying the frames alone.
    {
        const int rounds = 40;
        Pose frame(kBones);
        PoseSmoother smoother;
        const PoseSmoother::Settings settings;
        double seconds[2] = {0.0, 0.0};
        for (int filtered = 0; filtered < 2; ++filtered) {
            const double start = threadSeconds();
            for (int round = 0; round < rounds; ++round) {
                smoother.reset();
                for (int n = 0; n < kFrames; ++n) {
                    std::copy(stillNoisy[n].begin(), stillNoisy[n].end(), frame.begin());
                    if (filtered == 1) {
                        smoother.apply(frame.data(), kBones, n / kRate, settings);
                    }
                    sink += frame[kBones - 1].currentRotation[0];
                }
            }
            seconds[filtered] = threadSeconds() - start;
        }
        const double frames = static_cast<double>(rounds) * kFrames;
        std::printf(
            "cost per 27-bone frame: %.3f us of thread CPU (%.3f us with the frame's "
            "copy, %.0f frames)\n",
            (seconds[1] - seconds[0]) * 1e6 / frames, seconds[1] * 1e6 / frames, frames);
    }

    std::printf("noise added: %.2f deg per bone, %.2f cm on the root; 60 fps\n", rotationNoise,
                rootNoise);
    std::printf("%-26s %22s %36s\n", "", "standing still: jitter", "walking: lag, error");
    std::printf("%-26s %10s %11s %10s %12s %12s\n", "setting", "rotation", "root", "lag",
                "rotation", "root");
    struct Case {
        const char* name;
        bool on;
        PoseSmoother::Settings settings;
    };
    const Case cases[] = {{"off", false, {}},
                          {"minCutoff 1, beta 0.5", true, {1.0, 0.5}},
                          {"minCutoff 1, beta 0.1", true, {1.0, 0.1}},
                          {"minCutoff 1, beta 0.05", true, {1.0, 0.05}},
                          {"minCutoff 0.5, beta 0.05", true, {0.5, 0.05}},
                          {"minCutoff 2, beta 0.05", true, {2.0, 0.05}},
                          {"minCutoff 1, beta 0.02", true, {1.0, 0.02}},
                          {"minCutoff 0.5, beta 0.02", true, {0.5, 0.02}}};
    for (const Case& c : cases) {
        std::vector<Pose> still = stillNoisy;
        std::vector<Pose> walking = clean;
        if (c.on) {
            PoseSmoother stillSmoother;
            PoseSmoother walkSmoother;
            for (int n = 0; n < kFrames; ++n) {
                stillSmoother.apply(still[n].data(), kBones, n / kRate, c.settings);
                walkSmoother.apply(walking[n].data(), kBones, n / kRate, c.settings);
            }
        }
        const Error jitter = errorAgainst(still, WalkCycle(skeleton, 0.0), 0.0, true);
        const Error immediate = errorAgainst(walking, walk, 0.0, false);
        double bestDelay = 0.0;
        double bestRotation = immediate.rotationDegrees;
        for (double delay = 0.001; c.on && delay <= 0.2; delay += 0.001) {
            const double rotation = errorAgainst(walking, walk, delay, false).rotationDegrees;
            if (rotation < bestRotation) {
                bestRotation = rotation;
                bestDelay = delay;
            }
        }
        std::printf("%-26s %6.3f deg %8.3f cm %7.0f ms %8.3f deg %9.3f cm\n", c.name,
                    jitter.rotationDegrees, jitter.rootCm, bestDelay * 1000.0,
                    immediate.rotationDegrees, immediate.rootCm);
    }
    return 0;
}
