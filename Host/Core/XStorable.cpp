#include "XStorable.h"
#include "XStream.h"

size_t XStorable::GetStreamUsage() const
{
    XStream counter(XStream::kCountOnly);
    WriteStream2(counter);
    return counter.GetSize();
}
