#pragma once
// The session log: entries kept in memory for the run and appended to a log file.
// The file is KESTRIN_LOG_FILE when set, else $XDG_STATE_HOME/kestrin/session.log
// (~/.local/state when XDG_STATE_HOME is unset).
#include "XString.h"
#include "XTime.h"

#include <mutex>
#include <string>
#include <vector>

class XSessionLogManager {
public:
    enum Severity : int { kInfo = 0, kWarning = 1, kError = 2 };

    struct Entry {
        XString text;
        int severity;
        XTime time;
    };

    static XSessionLogManager* GetManager();

    void AddEntry(const XString& inText, int inSeverity, XTime inTime = XTime::Now());
    std::vector<Entry> GetEntries() const;
    // Entries whose text contains inText.
    std::vector<Entry> FindEntries(const XString& inText) const;
    void ClearEntries();
    XString GetLogFilePath() const;

private:
    XSessionLogManager() = default;
    mutable std::mutex itsMutex;
    std::vector<Entry> itsEntries;
};
