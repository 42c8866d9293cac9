#pragma once
// Storable classes by name, so that a stream can say which class follows and a reader
// can create it. Registration and lookup are thread safe.
#include "XException.h"
#include "XStorable.h"
#include "XString.h"

#include <functional>
#include <memory>
#include <vector>

class XStream;

class XClassRegistry {
public:
    using Factory = std::function<std::unique_ptr<XStorable>()>;

    // Registers (or replaces) the factory for a class name.
    static void RegisterClass(const XString& inName, Factory inFactory);
    static void UnregisterClass(const XString& inName);
    static bool IsRegistered(const XString& inName);
    static std::vector<XString> GetRegisteredNames();
    // A new object of the class; an unregistered name throws XException kUnknownClass.
    static std::unique_ptr<XStorable> Create(const XString& inName);

    // The class name, then the object.
    static void WriteObject(XStream& inStream, const XStorable& inObject);
    // Bytes WriteObject writes for this object.
    static size_t GetObjectStreamUsage(const XStorable& inObject);
    // Creates the object the stream names and reads it.
    static std::unique_ptr<XStorable> ReadObject(XStream& inStream);

    // Reads an object that must be of class inExpectedName (and a T); another class
    // throws XException 1005 before anything is created.
    template <class T>
    static std::unique_ptr<T> ReadObjectOfClass(XStream& inStream, const XString& inExpectedName)
    {
        const XString name = ReadClassName(inStream);
        if (!(name == inExpectedName))
            throw WrongClass(name, inExpectedName);
        std::unique_ptr<XStorable> object = Create(name);
        T* typed = dynamic_cast<T*>(object.get());
        if (!typed)
            throw WrongClass(name, inExpectedName);
        object.release();
        std::unique_ptr<T> result(typed);
        result->ReadStream2(inStream);
        return result;
    }

private:
    static XString ReadClassName(XStream& inStream);
    static XException WrongClass(const XString& inFound, const XString& inExpected);
};
