#include "zmf/FrameView.h"

namespace zmf {

std::optional<FrameView> FrameView::from(const std::byte* data, std::int32_t size) noexcept {
    const std::optional<PacketView> packet = PacketView::validate(data, size);
    if (!packet || packet->kind() != PacketKind::Frame) {
        return std::nullopt;
    }
    return FrameView(*packet);
}

}  // namespace zmf
