#pragma once

#include <string>
#include <vector>

namespace mayahost {

// The result a command sets with MPxCommand::setResult, read back by MGlobal::executeCommand.
struct ResultValue {
    enum class Kind { None, Int, Double, String };
    Kind kind = Kind::None;
    bool isArray = false;
    std::vector<double> numbers;
    std::vector<std::string> strings;

    void clear() { *this = ResultValue(); }
    std::string text() const;
};

// The result of the command running on this thread; each thread runs its own commands.
ResultValue& currentResult();

}  // namespace mayahost
