// libFuzzer harness for the take journal's reader: one input is cut into a sidecar, a capture
// and a sample map, each of which may be anything.
#include <cstddef>
#include <cstdint>
#include <string>

#include "JournalReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The first four bytes say, as two little-endian 16-bit numbers, where the sidecar and
    // the capture end; a whole sidecar is longer than one byte can say.
    if (size < 4) {
        return 0;
    }
    const std::size_t rest = size - 4;
    const std::size_t sidecarSize = (data[0] | (data[1] << 8U)) % (rest + 1);
    const std::size_t pcapSize = (data[2] | (data[3] << 8U)) % (rest - sidecarSize + 1);
    const auto* bytes = reinterpret_cast<const std::byte*>(data + 4);
    const std::string sidecar(reinterpret_cast<const char*>(bytes), sidecarSize);
    JournalReader::Contents contents;
    std::string error;
    JournalReader::parse(sidecar, bytes + sidecarSize, pcapSize, bytes + sidecarSize + pcapSize,
                         rest - sidecarSize - pcapSize, contents, error);
    std::uint64_t count = 0;
    bool partial = false;
    JournalReader::countDatagrams(bytes, rest, count, partial, error);
    return 0;
}
