#include "XAssert.h"
#include "XSessionLogManager.h"
#include "XString.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

namespace {
std::mutex sHandlerMutex;
XInternalErrorHandler sHandler;

void DefaultHandler(const XInternalErrorReport& inReport)
{
    XString text = XString("Internal error: \"%1\" failed in %2 at line %3")
                       .Replace(XString(inReport.condition))
                       .Replace(XString(inReport.source))
                       .Replace(static_cast<int64_t>(inReport.line));
    std::fprintf(stderr, "%s\n", text.GetCString());
    XSessionLogManager::GetManager()->AddEntry(text, XSessionLogManager::kError);
}
} // namespace

void KestrinInternalError(const char* inCondition, const char* inSource, int inLine)
{
    XInternalErrorHandler handler;
    {
        std::lock_guard<std::mutex> lock(sHandlerMutex);
        handler = sHandler;
    }
    XInternalErrorReport report{inCondition, inSource, inLine};
    if (handler)
        handler(report);
    else
        DefaultHandler(report);
}

XInternalErrorHandler SetInternalErrorHandler(XInternalErrorHandler inHandler)
{
    std::lock_guard<std::mutex> lock(sHandlerMutex);
    XInternalErrorHandler previous = std::move(sHandler);
    sHandler = std::move(inHandler);
    return previous;
}

const char* XAssertDetail::MakeSourceName(const char* inPath)
{
    // The report names the top folder and the file's stem, whatever subfolder holds it.
    static const char* const kTops[] = {"X-Platform/", "Linux/", "Host/", "Shaders/", "Apps/", "Modules/", "Tests/"};
    static std::mutex sMutex;
    static std::set<std::string> sNames; // stable storage for the returned pointers
    std::string path(inPath);
    std::string top;
    size_t best = std::string::npos;
    for (const char* t : kTops) {
        size_t at = path.rfind(std::string("/") + t);
        if (at == std::string::npos && path.rfind(t, 0) == 0)
            at = 0;
        else if (at != std::string::npos)
            ++at;
        if (at != std::string::npos && (best == std::string::npos || at > best)) {
            best = at;
            top = std::string(t, std::char_traits<char>::length(t) - 1);
        }
    }
    std::string file = path.substr(path.find_last_of('/') == std::string::npos ? 0 : path.find_last_of('/') + 1);
    file = file.substr(0, file.find('.'));
    std::string name = top.empty() ? file : top + "/" + file;
    std::lock_guard<std::mutex> lock(sMutex);
    return sNames.insert(name).first->c_str();
}
