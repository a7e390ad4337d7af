#include "ResultValue.h"

#include <sstream>

namespace mayahost {

std::string ResultValue::text() const {
    if (kind == Kind::String) {
        return strings.empty() ? std::string() : strings.front();
    }
    if (numbers.empty()) {
        return std::string();
    }
    std::ostringstream out;
    if (kind == Kind::Int) {
        out << static_cast<long long>(numbers.front());
    } else {
        out << numbers.front();
    }
    return out.str();
}

ResultValue& currentResult() {
    thread_local ResultValue result;
    return result;
}

}  // namespace mayahost
