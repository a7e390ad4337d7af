#include <maya/MString.h>
#include <maya/MStringArray.h>

#include <sstream>

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace {

template <typename T>
std::string numberText(T value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

}  // namespace

MString::MString() = default;
MString::MString(const char* charString) : fText(charString != nullptr ? charString : "") {}
MString::MString(const MString& other) = default;
MString::~MString() = default;
MString& MString::operator=(const MString& other) = default;

MString& MString::operator+=(const MString& other) {
    fText += other.fText;
    return *this;
}

MString& MString::operator+=(const char* other) {
    if (other != nullptr) {
        fText += other;
    }
    return *this;
}

MString& MString::operator+=(double other) {
    fText += numberText(other);
    return *this;
}

MString& MString::operator+=(int other) {
    fText += std::to_string(other);
    return *this;
}

MString& MString::operator+=(unsigned int other) {
    fText += std::to_string(other);
    return *this;
}

MString& MString::operator+=(float other) {
    fText += numberText(other);
    return *this;
}

MString& MString::operator=(const char* other) {
    fText = other != nullptr ? other : "";
    return *this;
}

bool MString::operator==(const MString& other) const {
    return fText == other.fText;
}
bool MString::operator==(const char* other) const {
    return fText == (other ? other : "");
}
bool MString::operator!=(const MString& other) const {
    return !(*this == other);
}
bool MString::operator!=(const char* other) const {
    return !(*this == other);
}

MString MString::operator+(const MString& other) const {
    MString result(*this);
    result += other;
    return result;
}

MString MString::operator+(const char* other) const {
    MString result(*this);
    result += other;
    return result;
}

MString MString::operator+(double value) const {
    MString result(*this);
    result += value;
    return result;
}

const char* MString::asChar() const {
    return fText.c_str();
}
unsigned int MString::length() const {
    return static_cast<unsigned int>(fText.size());
}

MStatus MString::split(char delimiter, MStringArray& output) const {
    // Maya drops empty pieces: "a,,b" gives "a" and "b".
    output.clear();
    std::string piece;
    for (char c : fText) {
        if (c == delimiter) {
            if (!piece.empty()) {
                output.append(MString(piece.c_str()));
                piece.clear();
            }
        } else {
            piece += c;
        }
    }
    if (!piece.empty()) {
        output.append(MString(piece.c_str()));
    }
    return MStatus::kSuccess;
}

std::ostream& operator<<(std::ostream& os, const MString& str) {
    return os << str.fText;
}

MString operator+(const char* left, const MString& right) {
    MString result(left);
    result += right;
    return result;
}

OPENMAYA_NAMESPACE_CLOSE
