#pragma once
// The directory of loaded modules. A module is a shared library that exports
//     extern "C" void KestrinModuleHandleMessage(const XMessage& inMessage, uint32_t inDelivery);
// through which the host hands it messages (registration requests and the like).
// A host may also register modules built into its own executable.
#include "XString.h"
#include "XVector.h"

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

class XMessage;

class XModuleManager {
public:
    using XModuleHandler = std::function<void(const XMessage&, uint32_t)>;
    static constexpr const char* kEntryPointName = "KestrinModuleHandleMessage";

    static XModuleManager& GetModuleManager();

    // The folder LoadModules reads: KESTRIN_MODULE_DIR when set, else "modules"
    // beside the executable.
    XString GetModuleDirectory() const;
    // Loads every shared library (*.so) of the module folder, in name order. A library
    // that cannot be loaded is written to the session log and skipped. Returns the
    // number of modules loaded by this call.
    size_t LoadModules();
    size_t LoadModulesFrom(const XString& inDirectory);
    // False (with a session-log entry saying why) when the library cannot be loaded or
    // lacks the entry point. Loading a library again does nothing and answers true.
    bool LoadModule(const XString& inPath);
    // An in-process module: inName stands for its path in GetModulePaths.
    void RegisterBuiltInModule(const XString& inName, XModuleHandler inHandler);

    // Hands the message to every module in load order. A module that throws is
    // written to the session log and the others still get the message.
    void SendMessageToModules(const XMessage& inMessage, uint32_t inDelivery);

    size_t GetModuleCount() const;
    XVector<XString> GetModulePaths() const;

private:
    struct XModule {
        XString path;
        void* handle; // null for built-in modules
        XModuleHandler handler;
    };

    XModuleManager() = default;
    void LogLoadFailure(const XString& inPath, const XString& inReason) const;

    mutable std::mutex itsMutex;
    std::vector<XModule> itsModules; // libraries stay loaded for the life of the process
};
