#pragma once

#include <cstddef>
#include <vector>

#include "PoseSmoother.h"
#include "SampleMapFormat.h"

// Decodes a take's journaled datagrams again, so that the take can be baked with other
// smoothing or another floor offset than it was recorded with. Only what those options
// change is redone: each bone's rotation and the root's translation. The other bones keep
// the offsets the take recorded, which came from the skeleton definition held at the time
// and which the capture may not hold. Host-free; the decoding library must be bound.
class JournalReplay {
public:
    struct Options {
        bool smoothing = false;
        PoseSmoother::Settings smoothingSettings;
        double floorOffset = 0.0;  // centimetres added to the root's height
    };
    // Euler angles in degrees, in the node's rotation order, of a quaternion (x, y, z, w).
    using AnglesFunction = void (*)(const double* quaternion, double* angles);

    // Gives every sample the pose of the frame it showed under `options`, rounded to single
    // precision as compute rounds what it shows: the frame of its datagram, or for a datagram
    // that changed nothing (a repeated definition) the frame before it. Samples that showed
    // no frame (a new skeleton's definition, or a datagram from before the capture began)
    // keep their recorded pose. Returns how many samples were redone. `payloads` are the capture's
    // UDP payloads in order; each is grown to `bufferSize`, the receive buffer the live decoder is
    // always handed whole.
    static std::size_t replay(std::vector<std::vector<std::byte>>& payloads,
                              std::vector<SampleMapFormat::Sample>& samples, const Options& options,
                              std::size_t bufferSize, AnglesFunction angles);

    JournalReplay() = delete;
};
