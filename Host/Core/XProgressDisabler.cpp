#include "XProgressDisabler.h"

#include "XProgress.h"

XProgressDisabler::XProgressDisabler() { ++XProgress::sDisableCount; }

XProgressDisabler::~XProgressDisabler() { --XProgress::sDisableCount; }
