#include <maya/MCacheSchema.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

MCacheSchema::MCacheSchema() = default;

OPENMAYA_NAMESPACE_CLOSE
