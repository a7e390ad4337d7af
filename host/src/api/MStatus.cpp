#include <maya/MStatus.h>
#include <maya/MString.h>

#include <cstdio>

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace {

const char* codeText(MStatus::MStatusCode code) {
    switch (code) {
        case MStatus::kSuccess:
            return "";
        case MStatus::kFailure:
            return "(kFailure): Unexpected Internal Failure";
        case MStatus::kInsufficientMemory:
            return "(kInsufficientMemory): Insufficient Memory";
        case MStatus::kInvalidParameter:
            return "(kInvalidParameter): Invalid Parameter";
        case MStatus::kLicenseFailure:
            return "(kLicenseFailure): License Failure";
        case MStatus::kUnknownParameter:
            return "(kUnknownParameter): Unknown Parameter";
        case MStatus::kNotImplemented:
            return "(kNotImplemented): Not Implemented";
        case MStatus::kNotFound:
            return "(kNotFound): Not Found";
        case MStatus::kEndOfFile:
            return "(kEndOfFile): End of File";
    }
    return "(unknown status)";
}

}  // namespace

MStatus::MStatus() : fStatusCode(kSuccess) {}
MStatus::MStatus(MStatusCode code) : fStatusCode(code) {}

bool MStatus::operator==(const MStatus& rhs) const {
    return fStatusCode == rhs.fStatusCode;
}
bool MStatus::operator==(const MStatusCode rhs) const {
    return fStatusCode == rhs;
}
bool MStatus::operator!=(const MStatus& rhs) const {
    return fStatusCode != rhs.fStatusCode;
}
bool MStatus::operator!=(const MStatusCode rhs) const {
    return fStatusCode != rhs;
}
bool MStatus::error() const {
    return fStatusCode != kSuccess;
}
MStatus::MStatusCode MStatus::statusCode() const {
    return fStatusCode;
}
MString MStatus::errorString() const {
    return MString(codeText(fStatusCode));
}
MStatus::operator bool() const {
    return !error();
}

void MStatus::perror(const char* message) const {
    std::fprintf(stderr, "%s: %s\n", message, codeText(fStatusCode));
}

void MStatus::perror(const MString& message) const {
    perror(message.asChar());
}

void MStatus::pAPIerror(const char* file, int line) const {
    std::fprintf(stderr, "API error detected in %s at line %d\n%s\n", file, line,
                 codeText(fStatusCode));
}

std::ostream& operator<<(std::ostream& os, MStatus& status) {
    return os << codeText(status.fStatusCode);
}

bool operator==(const MStatus::MStatusCode code, const MStatus& status) {
    return status.fStatusCode == code;
}

bool operator!=(const MStatus::MStatusCode code, const MStatus& status) {
    return status.fStatusCode != code;
}

OPENMAYA_NAMESPACE_CLOSE
