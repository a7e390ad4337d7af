#include <maya/MString.h>
#include <maya/MStringResource.h>
#include <maya/MStringResourceId.h>

#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "HostRules.h"
#include "HostState.h"

OPENMAYA_MAJOR_NAMESPACE_OPEN

struct MStringResourceId::Data {
    std::string pluginId;
    std::string key;
    std::string defaultValue;
};

MStringResourceId::MStringResourceId() : fData(new Data) {}

MStringResourceId::MStringResourceId(const char* pluginId, const char* keyString,
                                     const MString& defaultValue)
    : fData(new Data{pluginId != nullptr ? pluginId : "", keyString != nullptr ? keyString : "",
                     defaultValue.asChar()}) {}

MStringResourceId::MStringResourceId(const MStringResourceId& other)
    : fData(new Data(*other.fData)) {}

MStringResourceId& MStringResourceId::operator=(const MStringResourceId& other) {
    if (this != &other) {
        *fData = *other.fData;
    }
    return *this;
}

MStringResourceId::~MStringResourceId() {
    delete fData;
}

const MString MStringResource::getString(const MStringResourceId& id, MStatus& status) {
    mayahost::HostRules::mainThreadCall("MStringResource::getString");
    status = MStatus::kSuccess;
    mayahost::StringTable& table = mayahost::hostState().strings;
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto key = std::make_pair(id.fData->pluginId, id.fData->key);
    if (auto localized = table.localized.find(key); localized != table.localized.end()) {
        return MString(localized->second.c_str());
    }
    if (auto registered = table.registered.find(key); registered != table.registered.end()) {
        return MString(registered->second.c_str());
    }
    return MString(id.fData->defaultValue.c_str());
}

MStatus MStringResource::registerString(const MStringResourceId& id) {
    mayahost::HostRules::mainThreadCall("MStringResource::registerString");
    mayahost::StringTable& table = mayahost::hostState().strings;
    std::lock_guard<std::mutex> lock(table.mutex);
    table.registered[std::make_pair(id.fData->pluginId, id.fData->key)] = id.fData->defaultValue;
    return MStatus::kSuccess;
}

OPENMAYA_NAMESPACE_CLOSE
