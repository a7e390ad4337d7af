#include <maya/MArgList.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace {

using Args = std::vector<std::string>;

Args& argsOf(void* data) {
    return *static_cast<Args*>(data);
}

void report(MStatus* out, MStatus status) {
    if (out != nullptr) {
        *out = status;
    }
}

bool parseDouble(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && end != nullptr && *end == '\0';
}

// Shortest text that reads back as the same double.
std::string doubleText(double value) {
    char text[32];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (std::strtod(text, nullptr) == value) {
            break;
        }
    }
    return text;
}

}  // namespace

MArgList::MArgList() : fArgs(new Args) {}
MArgList::MArgList(const MArgList& other) : fArgs(new Args(argsOf(other.fArgs))) {}

MArgList& MArgList::operator=(const MArgList& other) {
    if (this != &other) {
        argsOf(fArgs) = argsOf(other.fArgs);
    }
    return *this;
}

MArgList::~MArgList() {
    delete static_cast<Args*>(fArgs);
}

unsigned int MArgList::length(MStatus* ReturnStatus) const {
    report(ReturnStatus, MStatus::kSuccess);
    return static_cast<unsigned int>(argsOf(fArgs).size());
}

// Arguments arrive as text, as from MEL; each reader converts the way Maya does.
bool MArgList::asBool(unsigned int index, MStatus* ret) const {
    const Args& args = argsOf(fArgs);
    if (index >= args.size()) {
        report(ret, MStatus::kInvalidParameter);
        return false;
    }
    const std::string& text = args[index];
    report(ret, MStatus::kSuccess);
    if (text == "true" || text == "on" || text == "yes") {
        return true;
    }
    if (text == "false" || text == "off" || text == "no") {
        return false;
    }
    double value = 0.0;
    if (parseDouble(text, value)) {
        return value != 0.0;
    }
    report(ret, MStatus::kInvalidParameter);
    return false;
}

int MArgList::asInt(unsigned int index, MStatus* ret) const {
    const Args& args = argsOf(fArgs);
    double value = 0.0;
    if (index >= args.size() || !parseDouble(args[index], value) || value != std::trunc(value) ||
        std::fabs(value) > 2147483647.0) {
        report(ret, MStatus::kInvalidParameter);
        return 0;
    }
    report(ret, MStatus::kSuccess);
    return static_cast<int>(value);
}

double MArgList::asDouble(unsigned int index, MStatus* ret) const {
    const Args& args = argsOf(fArgs);
    double value = 0.0;
    if (index >= args.size() || !parseDouble(args[index], value)) {
        report(ret, MStatus::kInvalidParameter);
        return 0.0;
    }
    report(ret, MStatus::kSuccess);
    return value;
}

MString MArgList::asString(unsigned int index, MStatus* ret) const {
    const Args& args = argsOf(fArgs);
    if (index >= args.size()) {
        report(ret, MStatus::kInvalidParameter);
        return MString();
    }
    report(ret, MStatus::kSuccess);
    return MString(args[index].c_str());
}

MStatus MArgList::addArg(bool arg) {
    argsOf(fArgs).emplace_back(arg ? "true" : "false");
    return MStatus::kSuccess;
}

MStatus MArgList::addArg(int arg) {
    argsOf(fArgs).push_back(std::to_string(arg));
    return MStatus::kSuccess;
}

MStatus MArgList::addArg(double arg) {
    argsOf(fArgs).push_back(doubleText(arg));
    return MStatus::kSuccess;
}

MStatus MArgList::addArg(const MString& arg) {
    argsOf(fArgs).emplace_back(arg.asChar());
    return MStatus::kSuccess;
}

OPENMAYA_NAMESPACE_CLOSE
