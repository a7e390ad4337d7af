#pragma once

#include <maya/MApiNamespace.h>
#include <maya/MDeprecate.h>
#include <stdint.h>
#include <sys/stat.h>

#define MAYA_APP_VERSION 2022
#define MAYA_API_VERSION 20220000

#ifndef DLL_PUBLIC
#define DLL_PUBLIC __attribute__((visibility("default")))
#endif
#define DLL_PRIVATE __attribute__((visibility("hidden")))
#ifndef PLUGIN_EXPORT
#define PLUGIN_EXPORT DLL_PUBLIC
#endif
#define BEGIN_NO_SCRIPT_SUPPORT public
#define END_NO_SCRIPT_SUPPORT public

#ifndef NULL
#define NULL 0L
#endif

#if defined(__APPLE__)
typedef long long MInt64;
typedef unsigned long long MUint64;
#else
typedef long MInt64;
typedef unsigned long MUint64;
#endif

typedef signed short short2[2];
typedef signed short short3[3];
typedef signed int int2[2];
typedef signed int int3[3];
typedef signed int long2[2];
typedef signed int long3[3];
typedef float float2[2];
typedef float float3[3];
typedef double double2[2];
typedef double double3[3];
typedef double double4[4];
