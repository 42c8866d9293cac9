#pragma once
// An object that writes itself to a stream and reads itself back, field by field in
// the same order and widths. Stored polymorphically through XClassRegistry by its
// class name.
#include "XString.h"

#include <cstddef>

class XStream;

class XStorable {
public:
    virtual ~XStorable() = default;

    virtual void WriteStream2(XStream& inStream) const = 0;
    // Reads what WriteStream2 wrote; bad data throws XException.
    virtual void ReadStream2(XStream& inStream) = 0;
    // Bytes WriteStream2 writes; the default measures them by writing to a counting stream.
    virtual size_t GetStreamUsage() const;
    // The name the class is registered under.
    virtual XString GetClassName() const = 0;
};
