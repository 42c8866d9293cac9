#include "XAssertRecorder.h"

XAssertRecorder::XAssertRecorder()
{
    itsPrevious = SetInternalErrorHandler([this](const XInternalErrorReport& r) {
        std::lock_guard<std::mutex> lock(itsMutex);
        itsReports.push_back(Report{r.condition, r.source, r.line});
    });
}

XAssertRecorder::~XAssertRecorder() { SetInternalErrorHandler(std::move(itsPrevious)); }

std::vector<XAssertRecorder::Report> XAssertRecorder::GetReports() const
{
    std::lock_guard<std::mutex> lock(itsMutex);
    return itsReports;
}

size_t XAssertRecorder::GetCount() const
{
    std::lock_guard<std::mutex> lock(itsMutex);
    return itsReports.size();
}

bool XAssertRecorder::Has(const std::string& inCondition, const std::string& inSource) const
{
    std::lock_guard<std::mutex> lock(itsMutex);
    for (const Report& r : itsReports)
        if (r.condition == inCondition && (inSource.empty() || r.source == inSource))
            return true;
    return false;
}

void XAssertRecorder::Clear()
{
    std::lock_guard<std::mutex> lock(itsMutex);
    itsReports.clear();
}
