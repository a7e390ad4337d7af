#pragma once

#include <string>
#include <vector>

class PerformerNode;

// Stands in for the plug-in's MEL user interface: the procedures the plug-in calls land on
// the panel state of the node with that device id. Calls for other ids are ignored, as the
// scripts ignore panels that are not open.
class UiStandIns {
public:
    UiStandIns();
    // Leaves procedures that do nothing, so a late call finds no dangling panel.
    ~UiStandIns();
    UiStandIns(const UiStandIns&) = delete;
    UiStandIns& operator=(const UiStandIns&) = delete;

    void attach(PerformerNode& node);

private:
    PerformerNode* nodeFor(const std::string& deviceIdText) const;

    std::vector<PerformerNode*> mNodes;
};
