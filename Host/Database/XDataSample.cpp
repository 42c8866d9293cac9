#include "XDataSample.h"
#include "XDataPlaceholder.h"
#include "XDataVolume.h"
#include "XDataVolumeSequence.h"

namespace {
// The ancestry of the database's own sample types, known as soon as the library is loaded.
const bool sTypesRegistered = [] {
    XVersion::RegisterType(XDataSample::kSampleType, 0);
    XVersion::RegisterType(XDataPlaceholder::kSampleType, XDataSample::kSampleType);
    XVersion::RegisterType(XDataVolume::kSampleType, XDataSample::kSampleType);
    XVersion::RegisterType(XDataVolumeSequence::kSampleType, XDataSample::kSampleType);
    XVersion::RegisterType(XDataSample::kStorableSampleType, XDataSample::kSampleType);
    return true;
}();
} // namespace
