#pragma once

#include <maya/MPlug.h>
#include <maya/MStatus.h>

#include <vector>

#include "PlugRef.h"

namespace mayahost {

// Reads and writes plug values, spreads dirtiness through attributeAffects and connections,
// and computes dirty outputs on the calling thread when they are read.
class Evaluator {
public:
    // Value of a numeric plug, computed or pulled first if it is dirty.
    static MStatus read(const MPlug& plug, double& value);
    // Every component of a plug (one, or a compound's children), pulled first if dirty.
    static MStatus readAll(const PlugRef& ref, std::vector<double>& values);
    // Stores a value converted to the attribute's type, dirties what it affects, and restarts
    // a device node's capture thread when its `live` or `frameRate` changes.
    static MStatus write(const MPlug& plug, double value);
    // Stores values without checks or restarts, then dirties what they affect.
    static void store(const PlugRef& ref, const std::vector<double>& values);
    // Marks a top-level attribute dirty and everything downstream of it.
    static void markDirty(NodeRecord& node, const AttributeRecord* root);
    // Brings a dirty top-level attribute up to date; true when a compute ran.
    static bool evaluate(NodeRecord& node, const AttributeRecord* root, const MPlug& requested);
    // Evaluates every dirty top-level attribute of a node once; returns the computes run.
    static int pullDirtyOutputs(NodeRecord& node);
    static bool isDirty(NodeRecord& node, const AttributeRecord* root);
    // Marks a top-level attribute out of date; spreads downstream only when it was clean,
    // since a dirty one has already dirtied what it drives. Cheap enough for every key added.
    static void touch(NodeRecord& node, const AttributeRecord* root);

private:
    static void propagate(NodeRecord& node, const AttributeRecord* root);
    static void pullConnections(NodeRecord& node, const AttributeRecord* root);
    static MStatus checkScalar(const PlugRef& ref);
    static void evaluateCurve(NodeRecord& node, const AttributeRecord* root);
};

}  // namespace mayahost
