#include "XClassRegistry.h"
#include "XStream.h"

#include <map>
#include <mutex>
#include <shared_mutex>

namespace {
struct Registry {
    std::shared_mutex mutex;
    std::map<XString, XClassRegistry::Factory> factories;
};

Registry& GetRegistry()
{
    static Registry* sRegistry = new Registry; // registrations run from static initialisers of other libraries
    return *sRegistry;
}
} // namespace

void XClassRegistry::RegisterClass(const XString& inName, Factory inFactory)
{
    if (inName.IsEmpty() || !inFactory)
        throw XException(XException::kBadArgument, "a class needs a name and a factory to be registered");
    Registry& r = GetRegistry();
    std::unique_lock lock(r.mutex);
    r.factories[inName] = std::move(inFactory);
}

void XClassRegistry::UnregisterClass(const XString& inName)
{
    Registry& r = GetRegistry();
    std::unique_lock lock(r.mutex);
    r.factories.erase(inName);
}

bool XClassRegistry::IsRegistered(const XString& inName)
{
    Registry& r = GetRegistry();
    std::shared_lock lock(r.mutex);
    return r.factories.count(inName) != 0;
}

std::vector<XString> XClassRegistry::GetRegisteredNames()
{
    Registry& r = GetRegistry();
    std::shared_lock lock(r.mutex);
    std::vector<XString> names;
    for (const auto& entry : r.factories)
        names.push_back(entry.first);
    return names;
}

std::unique_ptr<XStorable> XClassRegistry::Create(const XString& inName)
{
    Factory factory;
    {
        Registry& r = GetRegistry();
        std::shared_lock lock(r.mutex);
        auto it = r.factories.find(inName);
        if (it != r.factories.end())
            factory = it->second;
    }
    // The factory runs unlocked: it may itself look classes up.
    if (!factory)
        throw XException(XException::kUnknownClass,
                         XString("no class \"%1\" is registered; the module that stores it may not be loaded")
                             .Replace(inName));
    std::unique_ptr<XStorable> object = factory();
    if (!object)
        throw XException(XException::kUnknownClass,
                         XString("the factory of class \"%1\" made no object").Replace(inName));
    return object;
}

void XClassRegistry::WriteObject(XStream& inStream, const XStorable& inObject)
{
    inStream.WriteString(inObject.GetClassName());
    inObject.WriteStream2(inStream);
}

size_t XClassRegistry::GetObjectStreamUsage(const XStorable& inObject)
{
    return 4 + inObject.GetClassName().GetLength() + inObject.GetStreamUsage();
}

XString XClassRegistry::ReadClassName(XStream& inStream)
{
    return inStream.ReadString("a class name");
}

std::unique_ptr<XStorable> XClassRegistry::ReadObject(XStream& inStream)
{
    std::unique_ptr<XStorable> object = Create(ReadClassName(inStream));
    object->ReadStream2(inStream);
    return object;
}

XException XClassRegistry::WrongClass(const XString& inFound, const XString& inExpected)
{
    return XException(XException::kStreamWrongClass,
                      XString("the data holds a \"%1\" where a \"%2\" was expected").Replace(inFound).Replace(inExpected));
}
