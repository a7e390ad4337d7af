#include "SampleMapFormat.h"

#include <cstring>

#include "LittleEndian.h"

void SampleMapFormat::appendHeader(std::vector<std::byte>& out, std::uint32_t boneCount) {
    const auto* magic = reinterpret_cast<const std::byte*>(kMagic);
    out.insert(out.end(), magic, magic + sizeof(kMagic));
    LittleEndian::put32(out, kVersion);
    LittleEndian::put32(out, boneCount);
    LittleEndian::put32(out, static_cast<std::uint32_t>(recordBytes(boneCount)));
    LittleEndian::put32(out, 0);
}

void SampleMapFormat::appendRecord(std::vector<std::byte>& out, double time,
                                   std::int64_t datagramIndex, const Bone* bones,
                                   std::uint32_t boneCount) {
    LittleEndian::putDouble(out, time);
    LittleEndian::put64(out, static_cast<std::uint64_t>(datagramIndex));
    for (std::uint32_t b = 0; b < boneCount; ++b) {
        for (const double value : bones[b].translation) {
            LittleEndian::putDouble(out, value);
        }
        for (const double value : bones[b].rotation) {
            LittleEndian::putDouble(out, value);
        }
        for (const double value : bones[b].quaternion) {
            LittleEndian::putDouble(out, value);
        }
    }
}

bool SampleMapFormat::readHeader(const std::byte* data, std::size_t size, std::uint32_t& boneCount,
                                 const char*& error) {
    if (size < kHeaderBytes) {
        error = "the sample map is shorter than its header";
        return false;
    }
    if (std::memcmp(data, kMagic, sizeof(kMagic)) != 0) {
        error = "the sample map does not start with TVXSMAP";
        return false;
    }
    if (LittleEndian::get32(data + 8) != kVersion) {
        error = "the sample map is of a version this plug-in does not read";
        return false;
    }
    boneCount = LittleEndian::get32(data + 12);
    if (boneCount == 0 || boneCount > 1024 ||
        LittleEndian::get32(data + 16) != recordBytes(boneCount)) {
        error = "the sample map's bone count and record size disagree";
        return false;
    }
    return true;
}

SampleMapFormat::Sample SampleMapFormat::readRecord(const std::byte* data,
                                                    std::uint32_t boneCount) {
    Sample sample;
    sample.time = LittleEndian::getDouble(data);
    sample.datagramIndex = static_cast<std::int64_t>(LittleEndian::get64(data + 8));
    sample.bones.resize(boneCount);
    const std::byte* at = data + kRecordHeadBytes;
    for (Bone& bone : sample.bones) {
        for (double& value : bone.translation) {
            value = LittleEndian::getDouble(at);
            at += 8;
        }
        for (double& value : bone.rotation) {
            value = LittleEndian::getDouble(at);
            at += 8;
        }
        for (double& value : bone.quaternion) {
            value = LittleEndian::getDouble(at);
            at += 8;
        }
    }
    return sample;
}
