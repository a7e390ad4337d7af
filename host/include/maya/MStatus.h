#pragma once

#include <maya/MIOStream.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MStatus {
public:
    enum MStatusCode {
        kSuccess = 0,
        kFailure = 1,
        kInsufficientMemory = 2,
        kInvalidParameter = 3,
        kLicenseFailure = 4,
        kUnknownParameter = 5,
        kNotImplemented = 6,
        kNotFound = 7,
        kEndOfFile = 8
    };
    MStatus();
    MStatus(MStatusCode code);
    bool operator==(const MStatus& rhs) const;
    bool operator==(const MStatusCode rhs) const;
    bool operator!=(const MStatus& rhs) const;
    bool operator!=(const MStatusCode rhs) const;
    bool error() const;
    MStatusCode statusCode() const;
    MString errorString() const;
    void perror(const char* message) const;
    void perror(const MString& message) const;
    void pAPIerror(const char* file, int line) const;
    operator bool() const;
    friend OPENMAYA_EXPORT std::ostream& operator<<(std::ostream& os, MStatus& status);
    friend OPENMAYA_EXPORT bool operator==(const MStatus::MStatusCode code, const MStatus& status);
    friend OPENMAYA_EXPORT bool operator!=(const MStatus::MStatusCode code, const MStatus& status);

private:
    MStatusCode fStatusCode;
};

OPENMAYA_NAMESPACE_CLOSE

#ifndef MNoMSTypedef
typedef MStatus MS;
#endif

#define MFAIL(status) (MStatus::kSuccess != (status))

#define CHECK_MSTATUS(_status)                          \
    {                                                   \
        MStatus _maya_status = (_status);               \
        if (MStatus::kSuccess != _maya_status) {        \
            _maya_status.pAPIerror(__FILE__, __LINE__); \
        }                                               \
    }

#define CHECK_MSTATUS_AND_RETURN(_status, _retVal)      \
    {                                                   \
        MStatus _maya_status = (_status);               \
        if (MStatus::kSuccess != _maya_status) {        \
            _maya_status.pAPIerror(__FILE__, __LINE__); \
            return (_retVal);                           \
        }                                               \
    }

#define CHECK_MSTATUS_AND_RETURN_IT(_status) CHECK_MSTATUS_AND_RETURN((_status), (_status))
