#pragma once

// Controls of the stand-in host that real Maya exercises by itself. Tests and tools use
// them; the plug-in never does.

#include <string>
#include <vector>

namespace mayahost {

// MEL commands queued with MGlobal::executeCommandOnIdle and not run yet, oldest first.
std::vector<std::string> pendingIdleCommands();

// Removes and returns the queued commands, oldest first, without running them.
std::vector<std::string> takeIdleCommands();

// Texts shown with MGlobal::displayError since the last call, oldest first.
std::vector<std::string> takeDisplayedErrors();

// Puts a localized text over the registered default of (pluginId, key), as a resource file
// would; an empty text removes the override.
void setLocalizedString(const std::string& pluginId, const std::string& key,
                        const std::string& text);

}  // namespace mayahost
