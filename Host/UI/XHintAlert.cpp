#include "XHintAlert.h"

#include <mutex>

namespace {
struct XAlertRecord {
    std::mutex mutex;
    XHintAlert last;
    uint64_t count = 0;
};

XAlertRecord& GetRecord()
{
    static XAlertRecord record;
    return record;
}
} // namespace

void XHintAlert::Show() const
{
    {
        XAlertRecord& record = GetRecord();
        std::lock_guard lock(record.mutex);
        record.last = *this;
        ++record.count;
    }
    XSpeaker& speaker = GetAlertSpeaker();
    speaker.SpeakMessage(XMessageHintAlert(&speaker, *this));
}

XSpeaker& XHintAlert::GetAlertSpeaker()
{
    // Never destroyed: listeners may unsubscribe while the program ends.
    static XSpeaker* speaker = new XSpeaker;
    return *speaker;
}

XHintAlert XHintAlert::GetLastShownAlert()
{
    XAlertRecord& record = GetRecord();
    std::lock_guard lock(record.mutex);
    return record.last;
}

uint64_t XHintAlert::GetShownCount()
{
    XAlertRecord& record = GetRecord();
    std::lock_guard lock(record.mutex);
    return record.count;
}
