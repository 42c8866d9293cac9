#pragma once
// Records internal-error reports while alive, instead of printing them.
#include "XAssert.h"

#include <mutex>
#include <string>
#include <vector>

class XAssertRecorder {
public:
    struct Report {
        std::string condition;
        std::string source;
        int line;
    };

    XAssertRecorder();
    ~XAssertRecorder();
    XAssertRecorder(const XAssertRecorder&) = delete;
    XAssertRecorder& operator=(const XAssertRecorder&) = delete;

    std::vector<Report> GetReports() const;
    size_t GetCount() const;
    // Whether a report with this condition text (and source, when given) was made.
    bool Has(const std::string& inCondition, const std::string& inSource = std::string()) const;
    void Clear();

private:
    mutable std::mutex itsMutex;
    std::vector<Report> itsReports;
    XInternalErrorHandler itsPrevious;
};
