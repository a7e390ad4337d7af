#pragma once

#include <maya/MObject.h>
#include <maya/MStatus.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MSelectionList {
public:
    MSelectionList();
    MSelectionList(const MSelectionList& other);
    MSelectionList& operator=(const MSelectionList& other);
    virtual ~MSelectionList();
    MStatus clear();
    bool isEmpty(MStatus* ReturnStatus = NULL) const;
    unsigned int length(MStatus* ReturnStatus = NULL) const;
    MStatus getDependNode(unsigned int index, MObject& depNode) const;
    MStatus add(const MObject& object, const bool mergeWithExisting = false);
    MStatus add(const MString& matchString, const bool searchChildNamespacesToo = false);

private:
    MObjectArray* fItems;
};

OPENMAYA_NAMESPACE_CLOSE
