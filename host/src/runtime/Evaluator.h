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
    // Brings one plug up to date, as Maya does when that plug is requested: pulled through
    // its connection, or computed with that very plug. True when a compute ran.
    static bool evaluate(const PlugRef& plug);
    // Requests a node's dirty outputs as Maya's UI does: each connected plug of an output on
    // its own, an output without connections as a whole. Returns the computes run.
    static int pullDirtyOutputs(NodeRecord& node);
    // Whether pullDirtyOutputs would find anything to request: as Maya's evaluation graph
    // schedules only what is dirty, a clean node is left out of the schedule.
    static bool hasDirtyOutputs(NodeRecord& node);
    // Requests the given attributes of a device node (its refresh attributes), then every
    // connected plug of the outputs they affect, each on its own. Returns the computes run.
    static int refresh(NodeRecord& node, const std::vector<const AttributeRecord*>& attributes);
    static bool isDirty(const PlugRef& plug);

    // Evaluation in a context other than the normal one, at `ticks` (1/6000 s), as
    // `getAttr -time`, a plug read with a context and Cached Playback's fill do: upstream
    // plugs and computes see that time, and nothing the normal context holds changes.
    static MStatus readInContext(const PlugRef& ref, double ticks, std::vector<double>& values);
    // The time of the context the calling thread evaluates in; null in the normal context.
    static const double* contextTicks();
    // An input of a node computed in a context: its value through its connection at the
    // context's time. False when it has no connection, so the stored value holds.
    static bool contextInput(NodeRecord& node, const AttributeRecord* root,
                             std::vector<double>& values);
    // Marks a top-level attribute out of date; spreads downstream only when it was clean,
    // since a dirty one has already dirtied what it drives. Cheap enough for every key added.
    static void touch(NodeRecord& node, const AttributeRecord* root);

private:
    static MStatus contextValue(const PlugRef& ref, std::vector<double>& values);
    static bool computeInContext(const PlugRef& ref, std::vector<double>& values);
    static void propagate(NodeRecord& node, const AttributeRecord* root);
    static int requestOutput(NodeRecord& node, const AttributeRecord* root, bool whole);
    static void pullConnections(NodeRecord& node, const AttributeRecord* root);
    static MStatus checkScalar(const PlugRef& ref);
    static void evaluateCurve(NodeRecord& node, const AttributeRecord* root);
    static void evaluateConversion(NodeRecord& node, const AttributeRecord* root);
};

}  // namespace mayahost
