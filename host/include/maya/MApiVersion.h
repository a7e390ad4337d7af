// Defines the two data symbols Maya reads from a plug-in binary. Only the translation unit
// holding initializePlugin may define them; every other includer of MFnPlugin.h defines
// MNoVersionString first.
#ifndef MAYAHOST_MAPIVERSION_H
#define MAYAHOST_MAPIVERSION_H

#ifndef MNoVersionString
extern "C" {
PLUGIN_EXPORT char MApiVersion[] = "20220000";
PLUGIN_EXPORT char ADSK_PLUGIN_SIGNATURE[] = "mayahost-stand-in";
}
#endif

#endif
