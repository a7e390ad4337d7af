#include "RawReceiver.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Where a frame packet keeps its frame number: the 12-byte header, then 12 payload bytes.
constexpr std::size_t kFrameNumberOffset = 24;
constexpr unsigned char kFrameKind = 2;

double threadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

RawReceiver::RawReceiver(int port) : mPort(port), mSocket(socket(AF_INET, SOCK_DGRAM, 0)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (mSocket < 0 ||
        bind(mSocket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0 ||
        pipe(mPipe) != 0) {
        std::perror("raw receiver");
        std::exit(1);
    }
    mThread = std::thread([this] { run(); });
}

RawReceiver::~RawReceiver() {
    if (mThread.joinable()) {
        stop();
    }
    close(mSocket);
    close(mPipe[0]);
    close(mPipe[1]);
}

void RawReceiver::stop() {
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(mPipe[1], &byte, 1);
    mThread.join();
}

void RawReceiver::waitBeyond(std::int64_t count) {
    std::unique_lock<std::mutex> lock(mMutex);
    mArrived.wait(lock, [&] { return mReceived.load() > count; });
}

void RawReceiver::run() {
    unsigned char buffer[4096];
    for (;;) {
        pollfd fds[2] = {{mPipe[0], POLLIN, 0}, {mSocket, POLLIN, 0}};
        poll(fds, 2, -1);
        if ((fds[0].revents & POLLIN) != 0) {
            break;
        }
        const ssize_t length = recv(mSocket, buffer, sizeof(buffer), MSG_DONTWAIT);
        if (length < 0) {
            continue;
        }
        if (length >= static_cast<ssize_t>(kFrameNumberOffset + 4) && buffer[6] == kFrameKind) {
            std::int32_t number = 0;
            std::memcpy(&number, buffer + kFrameNumberOffset, sizeof(number));  // little-endian
            mNewestFrameRead.store(std::chrono::steady_clock::now().time_since_epoch().count());
            mNewestFrame.store(number);
        }
        {
            std::lock_guard<std::mutex> lock(mMutex);
            mReceived.fetch_add(1);
        }
        mArrived.notify_all();
    }
    mCpuSeconds.store(threadCpuSeconds());
}
