#include "Phone.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <zmf/ZmfCodec.h>

#include <chrono>
#include <cmath>
#include <vector>

namespace flowtest {

namespace {

constexpr int kBones = 27;

}  // namespace

Phone::Phone(int port, int fps, float restX)
    : mPort(port), mFps(fps), mRestX(restX), mThread([this] { run(); }) {}

Phone::~Phone() {
    mRunning.store(false);
    mThread.join();
}

void Phone::redefine(float restX) {
    std::lock_guard<std::mutex> lock(mMutex);
    mRestX = restX;
    mRedefine = true;
    mPause = true;
}

void Phone::run() {
    const int fd = socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(mPort));
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto send = [&](const std::vector<std::byte>& packet) {
        sendto(fd, packet.data(), packet.size(), 0, reinterpret_cast<const sockaddr*>(&to),
               sizeof(to));
    };
    auto next = std::chrono::steady_clock::now();
    for (std::int32_t n = 1; mRunning.load(); ++n) {
        bool pause = false;
        {
            std::lock_guard<std::mutex> lock(mMutex);
            pause = mPause;
            mPause = false;
        }
        if (pause) {
            // The node takes a definition only after a second of silence.
            const auto resume = std::chrono::steady_clock::now() + std::chrono::milliseconds(1300);
            while (mRunning.load() && std::chrono::steady_clock::now() < resume) {
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
            next = std::chrono::steady_clock::now();
        }
        {
            std::lock_guard<std::mutex> lock(mMutex);
            if (mRedefine) {
                zmf::SkeletonDefinition definition;
                for (int bone = 0; bone < kBones; ++bone) {
                    definition.bones.push_back(
                        {{0, 0, 0, 1}, {mRestX, 0.05F * static_cast<float>(bone), 0.0F}});
                }
                send(zmf::encode(definition));
                mRedefine = false;
            }
        }
        next += std::chrono::microseconds(1000000 / mFps);
        std::this_thread::sleep_until(next);
        zmf::FramePacket frame;
        frame.frameNumber = n;
        frame.timestamp = 10.0 + static_cast<double>(n) / mFps;
        // Every bone turns about z, a degree a frame, so rotations are checked too.
        const double half = 0.5 * static_cast<double>(n % 360) * 3.14159265358979 / 180.0;
        const float z = static_cast<float>(std::sin(half));
        const float w = static_cast<float>(std::cos(half));
        for (int bone = 0; bone < kBones; ++bone) {
            frame.boneIds.push_back(bone);
            frame.bones.push_back({{0, 0, z, w}, {0.01F * static_cast<float>(n), 0.9F, 0.0F}});
        }
        send(zmf::encode(frame));
        mFrames.store(n);
    }
    close(fd);
}

}  // namespace flowtest
