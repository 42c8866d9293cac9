#pragma once
// Simplifies the full surface its delivery holds (attach it after the create job, to the
// same queue) and delivers the result as a new surface. Cancellation, failure or a
// missing tessellator leave the delivered surface as it was.
#include "XGLIsoRegionJob.h"

class XGLSimplifyIsoRegionJob : public XGLIsoRegionJob {
public:
    explicit XGLSimplifyIsoRegionJob(std::shared_ptr<XDelivery> inDelivery);

protected:
    void RunJobSelf() override;
};
