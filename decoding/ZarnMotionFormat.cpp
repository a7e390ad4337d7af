#include "ZarnMotionFormat.h"

#include <dlfcn.h>
#include <maya/MGlobal.h>
#include <maya/MString.h>

#include <cstdio>

#include "MelLiteral.h"
#include "TulvexMessages.h"

ZarnMotionFormat::IsZmfBytesFn ZarnMotionFormat::IsZmfBytes = nullptr;
ZarnMotionFormat::IsSkeletonDefinitionBytesFn ZarnMotionFormat::IsSkeletonDefinitionBytes = nullptr;
ZarnMotionFormat::IsFrameDataBytesFn ZarnMotionFormat::IsFrameDataBytes = nullptr;
ZarnMotionFormat::ConvertBytesToSkeletonDefinitionFn
    ZarnMotionFormat::ConvertBytesToSkeletonDefinition = nullptr;
ZarnMotionFormat::ConvertBytesToFrameDataFn ZarnMotionFormat::ConvertBytesToFrameData = nullptr;
void* ZarnMotionFormat::mDllHandle = nullptr;
std::string ZarnMotionFormat::mPluginPath;

namespace {

#if defined(__APPLE__)
constexpr const char* kPlatformFolder = "mac";
constexpr const char* kLibraryFile = "zarn_motion_format.bundle/Contents/MacOS/zarn_motion_format";
#else
constexpr const char* kPlatformFolder = "linux";
constexpr const char* kLibraryFile = "zarn_motion_format.so";
#endif

// Shown as a script error once the host is idle; safe from any thread. A localized text may
// hold quotes or backslashes.
void reportHostError(const TulvexMessage& message) {
    const std::string command =
        "error " + MelLiteral::quoted(TulvexMessages::lookup(message).asChar());
    MGlobal::executeCommandOnIdle(command.c_str(), false);
}

// Binds one slot; a missing name closes the library, and the names after it are reported
// unbound without a lookup: dlsym on a null handle searches every library loaded globally.
template <typename Fn>
void bindEntryPoint(Fn& slot, const char* name) {
    slot = nullptr;
    if (ZarnMotionFormat::mDllHandle != nullptr) {
        slot = reinterpret_cast<Fn>(dlsym(ZarnMotionFormat::mDllHandle, name));
    }
    if (slot == nullptr) {
        reportHostError(TulvexMessages::kZmfFunctionImportError);
        if (ZarnMotionFormat::mDllHandle != nullptr) {
            dlclose(ZarnMotionFormat::mDllHandle);
            ZarnMotionFormat::mDllHandle = nullptr;
        }
    }
}

}  // namespace

void ZarnMotionFormat::Initialize(const std::string& pluginPath) {
    if (mDllHandle != nullptr) {
        return;
    }
    mPluginPath = pluginPath;
    if (!LoadDll()) {
        return;
    }
    bindEntryPoint(IsZmfBytes, "IsZmfBytes");
    bindEntryPoint(IsSkeletonDefinitionBytes, "IsSkeletonDefinitionBytes");
    bindEntryPoint(IsFrameDataBytes, "IsFrameDataBytes");
    bindEntryPoint(ConvertBytesToSkeletonDefinition, "ConvertBytesToSkeletonDefinition");
    bindEntryPoint(ConvertBytesToFrameData, "ConvertBytesToFrameData");
    if (mDllHandle == nullptr) {
        // Slots bound before the failure point into the closed library.
        CloseLibrary();
    }
}

bool ZarnMotionFormat::LoadDll() {
    const std::string path = GetDLLPath();
    mDllHandle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (mDllHandle == nullptr) {
        const char* loaderError = dlerror();
        std::fprintf(stderr, TulvexMessages::lookup(TulvexMessages::kZmfLinkError).asChar(),
                     loaderError != nullptr ? loaderError : "");
        reportHostError(TulvexMessages::kZmfImportError);
        return false;
    }
    return true;
}

std::string ZarnMotionFormat::GetDLLPath() {
    // Not normalised: the ".." pieces and the doubled slash are left to the system loader.
    std::string path = mPluginPath;
    path += "/../../";
    path += "ZarnMotionFormat";
    path += "/";
    path += kPlatformFolder;
    path += "//";  // an empty sub-folder piece stands between the two slashes
    path += kLibraryFile;
    return path;
}

void ZarnMotionFormat::Shutdown() {
    if (mDllHandle != nullptr) {
        CloseLibrary();
    }
}

bool ZarnMotionFormat::IsBound() {
    return mDllHandle != nullptr && IsZmfBytes != nullptr && IsSkeletonDefinitionBytes != nullptr &&
           IsFrameDataBytes != nullptr && ConvertBytesToSkeletonDefinition != nullptr &&
           ConvertBytesToFrameData != nullptr;
}

void ZarnMotionFormat::CloseLibrary() {
    IsZmfBytes = nullptr;
    IsSkeletonDefinitionBytes = nullptr;
    IsFrameDataBytes = nullptr;
    ConvertBytesToSkeletonDefinition = nullptr;
    ConvertBytesToFrameData = nullptr;
    if (mDllHandle != nullptr) {
        dlclose(mDllHandle);
        mDllHandle = nullptr;
    }
}
