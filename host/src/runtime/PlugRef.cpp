#include "PlugRef.h"

#include "AttributeRecord.h"

namespace mayahost {

std::pair<int, int> PlugRef::key() const {
    const AttributeRecord* root = attribute->root();
    const int element = root->array && hasIndex ? static_cast<int>(index) : -1;
    const int child = attribute->parent != nullptr ? static_cast<int>(attribute->childIndex) : -1;
    return {element, child};
}

}  // namespace mayahost
