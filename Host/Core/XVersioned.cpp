#include "XVersioned.h"
#include "XException.h"
#include "XStream.h"
#include "XVersion.h"

uint32_t XVersioned::ReadClassVersion(XStream& inStream, uint32_t inSupported)
{
    const uint32_t stored = inStream.ReadVersion("the class version");
    const XVersion storedVersion(stored);
    const XVersion supported(inSupported);
    const auto newer = [&] {
        return XException(XException::kStreamNewerVersion,
                          XString("version %1 is newer than version %2, the newest this program reads; "
                                  "open it with a newer version of the program")
                              .Replace(XString::FromUInt64(stored))
                              .Replace(XString::FromUInt64(inSupported)));
    };
    if (supported.GetMajor() == 0) {
        // A plain version counter: 1, 2, 3, ...
        if (stored > inSupported)
            throw newer();
        return stored;
    }
    if (!storedVersion.IsA(supported))
        throw XException(XException::kStreamWrongClass,
                         XString("the data holds an object of type %1 where type %2 was expected")
                             .Replace(XString::FromUInt64(storedVersion.GetType()))
                             .Replace(XString::FromUInt64(supported.GetType())));
    if (storedVersion.GetMajor() > supported.GetMajor())
        throw newer();
    return stored;
}
