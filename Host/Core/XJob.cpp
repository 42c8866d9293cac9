#include "XJob.h"

XJob::~XJob() = default;

void XJob::RunJob() { RunJobSelf(); }

void XJob::JobComplete(unsigned long inStatus) { JobCompleteSelf(inStatus); }

bool XJob::CanCompleteInJobThread() const { return false; }

void XJob::Stopped() {}

void XJob::Suspended() {}

void XJob::Resumed() {}

void XJob::JobCompleteSelf(unsigned long) {}
