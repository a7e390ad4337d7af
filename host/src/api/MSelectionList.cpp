#include <maya/MObjectArray.h>
#include <maya/MSelectionList.h>
#include <maya/MString.h>

#include "HostAccess.h"
#include "HostRules.h"
#include "HostState.h"
#include "NodeRecord.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace {

void report(MStatus* out, MStatus status) {
    if (out != nullptr) {
        *out = status;
    }
}

}  // namespace

MSelectionList::MSelectionList() : fItems(new MObjectArray) {}
MSelectionList::MSelectionList(const MSelectionList& other)
    : fItems(new MObjectArray(*other.fItems)) {}

MSelectionList& MSelectionList::operator=(const MSelectionList& other) {
    if (this != &other) {
        *fItems = *other.fItems;
    }
    return *this;
}

MSelectionList::~MSelectionList() {
    delete fItems;
}

MStatus MSelectionList::clear() {
    return fItems->clear();
}

bool MSelectionList::isEmpty(MStatus* ReturnStatus) const {
    report(ReturnStatus, MStatus::kSuccess);
    return fItems->length() == 0;
}

unsigned int MSelectionList::length(MStatus* ReturnStatus) const {
    report(ReturnStatus, MStatus::kSuccess);
    return fItems->length();
}

MStatus MSelectionList::getDependNode(unsigned int index, MObject& depNode) const {
    mayahost::HostRules::mainThreadCall("MSelectionList::getDependNode");
    if (index >= fItems->length() || !(*fItems)[index].hasFn(MFn::kDependencyNode)) {
        return MStatus::kInvalidParameter;
    }
    depNode = (*fItems)[index];
    return MStatus::kSuccess;
}

MStatus MSelectionList::add(const MObject& object, const bool mergeWithExisting) {
    mayahost::HostRules::mainThreadCall("MSelectionList::add");
    if (object.isNull()) {
        return MStatus::kInvalidParameter;
    }
    if (mergeWithExisting) {
        for (unsigned int i = 0; i < fItems->length(); ++i) {
            if ((*fItems)[i] == object) {
                return MStatus::kSuccess;
            }
        }
    }
    return fItems->append(object);
}

MStatus MSelectionList::add(const MString& matchString, const bool /*searchChildNamespacesToo*/) {
    mayahost::HostRules::mainThreadCall("MSelectionList::add");
    mayahost::NodeRecord* node = mayahost::hostState().scene.find(matchString.asChar());
    if (node == nullptr) {
        return MStatus::kInvalidParameter;  // nothing matched: nothing added
    }
    return fItems->append(hostimpl::HostAccess::makeObject(node));
}

OPENMAYA_NAMESPACE_CLOSE
