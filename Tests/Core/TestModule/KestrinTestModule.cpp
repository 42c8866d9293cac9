// A module for the module manager's tests: it writes each message it receives to the
// session log, naming its own file, so a test can check delivery and order.
#include "XMessage.h"
#include "XSessionLogManager.h"
#include "XString.h"

#include <cstdint>
#include <dlfcn.h>
#include <typeinfo>

namespace {
XString GetOwnFileName()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&GetOwnFileName), &info) || !info.dli_fname)
        return XString("?");
    XString path(info.dli_fname);
    size_t slash = path.GetStdString().find_last_of('/');
    return slash == std::string::npos ? path : path.Mid(slash + 1);
}
} // namespace

extern "C" __attribute__((visibility("default"))) void KestrinModuleHandleMessage(const XMessage& inMessage,
                                                                                  uint32_t inDelivery)
{
    XSessionLogManager::GetManager()->AddEntry(XString("Test module %1 received %2 (delivery %3)")
                                                   .Replace(GetOwnFileName())
                                                   .Replace(XString(typeid(inMessage).name()))
                                                   .Replace(static_cast<int64_t>(inDelivery)),
                                               XSessionLogManager::kInfo);
}
