#pragma once
// The user's preferences: one store for the process, read from the preferences file on
// first use and written back at once on every change (a new file renamed over the old).
//
// The file is KESTRIN_PREFS_FILE when set, else $XDG_CONFIG_HOME/kestrin/prefs
// (~/.config when XDG_CONFIG_HOME is unset). A file that cannot be read or parsed is
// reported in the session log and read as empty; it is left as it is until a preference
// is saved, and then kept beside the new file with the suffix ".corrupt".
#include "XPrefsSaver.h"

class XUserPrefsSaver : public XPrefsSaver {
public:
    XUserPrefsSaver() = default;

    static XString GetPrefsFilePath();
    // Forgets the store and reads the file again (the path too is looked up again).
    static void Reload();

protected:
    std::optional<XValue> GetValueSelf(const XString& inSection, const XString& inKey) const override;
    void SetValueSelf(const XString& inSection, const XString& inKey, const XValue& inValue) override;
    bool RemoveEntrySelf(const XString& inSection, const XString& inKey) override;
};
