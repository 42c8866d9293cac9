#include "XModuleManager.h"

#include "XException.h"
#include "XMessage.h"
#include "XSessionLogManager.h"

#include <algorithm>
#include <cstdlib>
#include <dlfcn.h>
#include <exception>
#include <filesystem>

namespace {
using XEntryPoint = void (*)(const XMessage&, uint32_t);
}

XModuleManager& XModuleManager::GetModuleManager()
{
    // Lives for the process, as the loaded libraries do.
    static XModuleManager* sManager = new XModuleManager;
    return *sManager;
}

XString XModuleManager::GetModuleDirectory() const
{
    if (const char* dir = std::getenv("KESTRIN_MODULE_DIR"); dir && *dir)
        return XString(dir);
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return XString("modules");
    return XString((exe.parent_path() / "modules").string());
}

size_t XModuleManager::LoadModules() { return LoadModulesFrom(GetModuleDirectory()); }

size_t XModuleManager::LoadModulesFrom(const XString& inDirectory)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    std::vector<fs::path> libraries;
    for (fs::directory_iterator it(inDirectory.GetStdString(), ec), end; !ec && it != end; it.increment(ec))
        if (it->path().extension() == ".so" && it->is_regular_file(ec))
            libraries.push_back(it->path());
    if (ec && ec != std::errc::no_such_file_or_directory)
        XSessionLogManager::GetManager()->AddEntry(
            XString("The module folder %1 could not be read (%2); no modules were loaded from it.")
                .Replace(inDirectory)
                .Replace(XString(ec.message())),
            XSessionLogManager::kWarning);
    std::sort(libraries.begin(), libraries.end());
    size_t before = GetModuleCount();
    for (const fs::path& library : libraries)
        LoadModule(XString(library.string()));
    return GetModuleCount() - before;
}

void XModuleManager::LogLoadFailure(const XString& inPath, const XString& inReason) const
{
    XSessionLogManager::GetManager()->AddEntry(
        XString("The module %1 was not loaded because %2. Reinstall the module or remove it from the module folder.")
            .Replace(inPath)
            .Replace(inReason),
        XSessionLogManager::kWarning);
}

bool XModuleManager::LoadModule(const XString& inPath)
{
    std::error_code ec;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(inPath.GetStdString(), ec);
    XString path = ec ? inPath : XString(canonical.string());
    {
        std::lock_guard<std::mutex> lock(itsMutex);
        for (const XModule& m : itsModules)
            if (m.path == path)
                return true;
    }
    void* handle = dlopen(path.GetCString(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* error = dlerror();
        LogLoadFailure(path, XString(error ? error : "the library could not be opened"));
        return false;
    }
    dlerror();
    auto entry = reinterpret_cast<XEntryPoint>(dlsym(handle, kEntryPointName));
    if (!entry) {
        LogLoadFailure(path, XString("it has no entry point %1").Replace(XString(kEntryPointName)));
        dlclose(handle);
        return false;
    }
    std::lock_guard<std::mutex> lock(itsMutex);
    // The same library under another name (a link) is one module.
    for (const XModule& m : itsModules)
        if (m.handle == handle) {
            dlclose(handle); // drops only the reference this call took
            return true;
        }
    itsModules.push_back(XModule{path, handle, entry});
    return true;
}

void XModuleManager::RegisterBuiltInModule(const XString& inName, XModuleHandler inHandler)
{
    std::lock_guard<std::mutex> lock(itsMutex);
    itsModules.push_back(XModule{inName, nullptr, std::move(inHandler)});
}

void XModuleManager::SendMessageToModules(const XMessage& inMessage, uint32_t inDelivery)
{
    std::vector<XModule> modules;
    {
        // A module may load or register others while it handles the message.
        std::lock_guard<std::mutex> lock(itsMutex);
        modules = itsModules;
    }
    for (const XModule& m : modules) {
        XString failure;
        try {
            m.handler(inMessage, inDelivery);
        } catch (const XException& e) {
            if (e.ShouldReportError())
                failure = e.GetErrorMessage();
        } catch (const std::exception& e) {
            failure = XString(e.what());
        } catch (...) {
            failure = "an unknown error";
        }
        if (!failure.IsEmpty())
            XSessionLogManager::GetManager()->AddEntry(
                XString("The module %1 failed to handle a message: %2").Replace(m.path).Replace(failure),
                XSessionLogManager::kError);
    }
}

size_t XModuleManager::GetModuleCount() const
{
    std::lock_guard<std::mutex> lock(itsMutex);
    return itsModules.size();
}

XVector<XString> XModuleManager::GetModulePaths() const
{
    std::lock_guard<std::mutex> lock(itsMutex);
    XVector<XString> paths;
    for (const XModule& m : itsModules)
        paths.push_back(m.path);
    return paths;
}
