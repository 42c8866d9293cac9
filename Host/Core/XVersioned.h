#pragma once
// A storable whose stream starts with a class version (see XVersion): the type in the
// low 16 bits, the major version in the high 16 bits.
#include "XStorable.h"

#include <cstdint>

class XVersioned : public XStorable {
public:
    // The version this class writes.
    virtual uint32_t GetVersion() const = 0;

    // Reads a stored class version and checks it against inSupported, the newest version
    // the reader understands. A typed inSupported (major 1 or more) refuses a stored
    // version of another type with XException 1005 and a higher major version with 1015.
    // An inSupported of major 0 is a plain counter (1, 2, 3, ...): a higher stored value
    // throws 1015. Returns the stored version.
    static uint32_t ReadClassVersion(XStream& inStream, uint32_t inSupported);
};
