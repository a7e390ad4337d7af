#include "zmf/SkeletonDefinitionView.h"

namespace zmf {

std::optional<SkeletonDefinitionView> SkeletonDefinitionView::from(const std::byte* data,
                                                                   std::int32_t size) noexcept {
    const std::optional<PacketView> packet = PacketView::validate(data, size);
    if (!packet || packet->kind() != PacketKind::SkeletonDefinition) {
        return std::nullopt;
    }
    return SkeletonDefinitionView(*packet);
}

}  // namespace zmf
