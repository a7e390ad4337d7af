#pragma once

#include <maya/MString.h>

#include <array>

// A user-facing text of the plug-in: a key of the host string table "TulvexMayaPlugin" and
// the English text used when the host has no localized one.
struct TulvexMessage {
    const char* key;
    const char* defaultText;
};

// The plug-in's string table. Each text is written here once; registration and every lookup
// use these constants, so the registered default and the lookup default cannot drift apart.
class TulvexMessages {
public:
    static constexpr const char* kTableName = "TulvexMayaPlugin";

    static constexpr TulvexMessage kYourIp{"YOUR_IP", "Your local IPs:"};
    static constexpr TulvexMessage kWsaStartError{"WSA_START_ERROR", "Error at WSAStartup()\n"};
    static constexpr TulvexMessage kClosingSocket{"CLOSING_SOCKET", "Closing socket \n"};
    static constexpr TulvexMessage kInitSocket{"INIT_SOCKET", "Initializing Socket% d\n"};
    static constexpr TulvexMessage kBindSocketError{"BIND_SOCKET_ERROR",
                                                    "Bind failed with error %u\n"};
    static constexpr TulvexMessage kBindSocketErrorApple{"BIND_SOCKET_ERROR_APPLE",
                                                         "Bind failed [%s]\n"};
    static constexpr TulvexMessage kPortInUseError{
        "PORT_IN_USE_ERROR",
        "Port in Use. Socket Initialization failed. Try using a different port."};
    static constexpr TulvexMessage kGettingIpError{
        "GETTING_IP_ERROR", "An error occurred while trying to find your IP address"};
    static constexpr TulvexMessage kSocketFunctionError{"SOCKET_FUNCTION_ERROR",
                                                        "socket function failed with error : %u\n"};
    static constexpr TulvexMessage kSocketFunctionErrorApple{"SOCKET_FUNCTION_ERROR_APPLE",
                                                             "socket function failed [%s]\n"};
    static constexpr TulvexMessage kCreateCurvesError{"CREATE_CURVES_ERROR",
                                                      "Error creating animation curves"};
    static constexpr TulvexMessage kSkelDefReceived{
        "SKEL_DEF_RECEIVED", "Data received. Press Bind to Character button"};
    static constexpr TulvexMessage kAwaitingSkelDef{"AWAITING_SKEL_DEF",
                                                    "Awaiting Skeleton Definition"};
    static constexpr TulvexMessage kZmfImportError{
        "ZMF_IMPORT_ERROR",
        "Failed to import ZarnMotionFormat library. Plug-in will not be functional."};
    static constexpr TulvexMessage kZmfFunctionImportError{
        "ZMF_FUNCTION_IMPORT_ERROR", "Failed to import ZarnMotionFormat function"};
    static constexpr TulvexMessage kZmfLinkError{"ZMF_LINK_ERROR",
                                                 "A dynamic linking error occurred: %s\n"};
    static constexpr TulvexMessage kRegCommandError{
        "REG_COMMAND_ERROR", "failed to register command TulvexDidCharacterize"};
    static constexpr TulvexMessage kDeregCommandError{
        "DEREG_COMMAND_ERROR", "failed to deregister command TulvexDidCharacterize"};
    static constexpr TulvexMessage kRegNodeError{"REG_NODE_ERROR",
                                                 "failed to registerNode TulvexDeviceNode"};
    static constexpr TulvexMessage kDeregNodeError{"DEREG_NODE_ERROR",
                                                   "failed to deregisterNode TulvexDeviceNode"};
    // What stopped, then the exception's own text.
    static constexpr TulvexMessage kUnexpectedError{"UNEXPECTED_ERROR",
                                                    "%s stopped on an unexpected error: %s"};
    // The node, the conversions removed, then the plugs its outputs now drive.
    static constexpr TulvexMessage kOldConversionsRemoved{
        "OLD_CONVERSIONS_REMOVED",
        "%s: removed the unit conversions an earlier version needed (%s); its outputs now "
        "drive %s directly"};
    // Looked up when registering this very table fails, so it is never registered itself.
    static constexpr TulvexMessage kRegStringsError{"REG_STRINGS_ERROR",
                                                    "failed to register localized UI strings"};

    // The registered rows, in registration order.
    static constexpr std::array<TulvexMessage, 22> kRegistered{kYourIp,
                                                               kWsaStartError,
                                                               kClosingSocket,
                                                               kInitSocket,
                                                               kBindSocketError,
                                                               kBindSocketErrorApple,
                                                               kPortInUseError,
                                                               kGettingIpError,
                                                               kSocketFunctionError,
                                                               kSocketFunctionErrorApple,
                                                               kCreateCurvesError,
                                                               kSkelDefReceived,
                                                               kAwaitingSkelDef,
                                                               kZmfImportError,
                                                               kZmfFunctionImportError,
                                                               kZmfLinkError,
                                                               kRegCommandError,
                                                               kDeregCommandError,
                                                               kRegNodeError,
                                                               kDeregNodeError,
                                                               kUnexpectedError,
                                                               kOldConversionsRemoved};

    // The host's text for the message: a localized one if loaded, else the default. The
    // lookup's own status is not looked at; the text is all callers need.
    static MString lookup(const TulvexMessage& message);

    // Registers every row of kRegistered in order; the host's answers are not examined.
    static MStatus registerAll();

    TulvexMessages() = delete;
};
