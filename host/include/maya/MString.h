#pragma once

#include <maya/MStatus.h>
#include <maya/MTypes.h>
#include <string>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MString {
public:
    MString();
    MString(const char* charString);
    MString(const MString& other);
    ~MString();
    MString& operator=(const MString& other);
    MString& operator+=(const MString& other);
    MString& operator+=(const char* other);
    MString& operator+=(double other);
    MString& operator+=(int other);
    MString& operator+=(unsigned int other);
    MString& operator+=(float other);
    MString& operator=(const char* other);
    bool operator==(const MString& other) const;
    bool operator==(const char* other) const;
    bool operator!=(const MString& other) const;
    bool operator!=(const char* other) const;
    MString operator+(const MString& other) const;
    MString operator+(const char* other) const;
    MString operator+(double value) const;
    const char* asChar() const;
    unsigned int length() const;
    MStatus split(char delimiter, MStringArray& output) const;
    friend OPENMAYA_EXPORT std::ostream& operator<<(std::ostream& os, const MString& str);
    friend OPENMAYA_EXPORT MString operator+(const char* left, const MString& right);

private:
    std::string fText;
};

OPENMAYA_NAMESPACE_CLOSE
