#include "XSessionLogManager.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

XSessionLogManager* XSessionLogManager::GetManager()
{
    static XSessionLogManager* sManager = new XSessionLogManager; // lives for the process: logging may happen at exit
    return sManager;
}

XString XSessionLogManager::GetLogFilePath() const
{
    if (const char* file = std::getenv("KESTRIN_LOG_FILE"); file && *file)
        return XString(file);
    std::string dir;
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state)
        dir = state;
    else if (const char* home = std::getenv("HOME"); home && *home)
        dir = std::string(home) + "/.local/state";
    else
        return XString();
    return XString(dir + "/kestrin/session.log");
}

void XSessionLogManager::AddEntry(const XString& inText, int inSeverity, XTime inTime)
{
    std::lock_guard<std::mutex> lock(itsMutex);
    itsEntries.push_back(Entry{inText, inSeverity, inTime});
    XString path = GetLogFilePath();
    if (path.IsEmpty())
        return;
    // The log is a diagnostic aid: failing to write it must never fail the caller.
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path.GetStdString()).parent_path(), ec);
    if (FILE* f = std::fopen(path.GetCString(), "a")) {
        std::fprintf(f, "%s [%d] %s\n", inTime.GetTimeString().GetCString(), inSeverity, inText.GetCString());
        std::fclose(f);
    }
}

std::vector<XSessionLogManager::Entry> XSessionLogManager::GetEntries() const
{
    std::lock_guard<std::mutex> lock(itsMutex);
    return itsEntries;
}

std::vector<XSessionLogManager::Entry> XSessionLogManager::FindEntries(const XString& inText) const
{
    std::lock_guard<std::mutex> lock(itsMutex);
    std::vector<Entry> found;
    for (const Entry& e : itsEntries)
        if (e.text.Contains(inText))
            found.push_back(e);
    return found;
}

void XSessionLogManager::ClearEntries()
{
    std::lock_guard<std::mutex> lock(itsMutex);
    itsEntries.clear();
}
