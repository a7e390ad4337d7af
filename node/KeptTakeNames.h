#pragma once

#include <functional>
#include <string>
#include <vector>

// Names of the curves of earlier takes a bake keeps, and the plug names that tell which plugs
// those curves drove, free of any host.
class KeptTakeNames {
public:
    // A plug as listConnections names it: "node.attribute" or "node.attribute[index]".
    struct PlugName {
        std::string node;
        std::string attribute;
        bool hasIndex = false;
        unsigned int index = 0;
    };

    // "<curve>_take<take>".
    static std::string curveName(const std::string& curve, int take);

    // The smallest take number from 1 under which no curve of `curves` has a name `taken`
    // already: the kept takes are numbered 1, 2, 3 in the order they were replaced, and a
    // bake never renames a curve onto a name in use, whatever the user renamed or deleted.
    static int firstFreeTake(const std::vector<std::string>& curves,
                             const std::function<bool(const std::string&)>& taken);

    // False for anything else, such as a child of an array element ("n.a[0].b").
    static bool splitPlugName(const std::string& text, PlugName& plug);

    KeptTakeNames() = delete;
};
