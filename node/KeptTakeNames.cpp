#include "KeptTakeNames.h"

#include <algorithm>

std::string KeptTakeNames::curveName(const std::string& curve, int take) {
    return curve + "_take" + std::to_string(take);
}

int KeptTakeNames::firstFreeTake(const std::vector<std::string>& curves,
                                 const std::function<bool(const std::string&)>& taken) {
    int take = 1;
    while (std::any_of(curves.begin(), curves.end(),
                       [&](const std::string& curve) { return taken(curveName(curve, take)); })) {
        ++take;
    }
    return take;
}

bool KeptTakeNames::splitPlugName(const std::string& text, PlugName& plug) {
    const std::size_t dot = text.find('.');
    if (dot == 0 || dot == std::string::npos || dot + 1 == text.size()) {
        return false;
    }
    PlugName split;
    split.node = text.substr(0, dot);
    std::string rest = text.substr(dot + 1);
    const std::size_t open = rest.find('[');
    if (open != std::string::npos) {
        const std::size_t close = rest.find(']', open);
        const std::string digits =
            close == std::string::npos ? std::string() : rest.substr(open + 1, close - open - 1);
        if (open == 0 || close + 1 != rest.size() || digits.empty() || digits.size() > 9 ||
            digits.find_first_not_of("0123456789") != std::string::npos) {
            return false;
        }
        split.hasIndex = true;
        split.index = static_cast<unsigned int>(std::stoul(digits));
        rest.erase(open);
    }
    if (rest.find_first_of(".[]") != std::string::npos) {
        return false;
    }
    split.attribute = rest;
    plug = split;
    return true;
}
