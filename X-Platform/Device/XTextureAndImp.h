#pragma once
// A texture whose storage operations all go to an implementation of type TImp,
// made by the current render system in the derived constructor (SetImp).
#include "XTexture.h"

#include <memory>

template <class TImp>
class XTextureAndImp : public XTexture {
public:
    TImp& GetImp() const { return *itsImp; }

    uint64_t GetRowBytes() const override { return itsImp->GetRowBytes(); }
    uint64_t GetPlaneBytes() const override { return itsImp->GetPlaneBytes(); }
    XMathVectorF3 GetMaxTextureCoords() const override { return itsImp->GetMaxTextureCoords(); }
    void* GetData() override { return itsImp->GetData(); }

protected:
    using XTexture::XTexture;
    void SetImp(std::unique_ptr<TImp> inImp) { itsImp = std::move(inImp); }

    void DestroySelf(X3DGC& inGC) override { itsImp->DestroySelf(inGC); }
    void CopyInDataSelf(const void* inData, uint64_t inSizeBytes) override { itsImp->CopyInData(inData, inSizeBytes); }
    void HandleTextureUnitAttachSelf(X3DGC& inGC, uint32_t inUnit, _CGparameter* inSampler) override
    {
        itsImp->HandleTextureUnitAttach(inGC, inUnit, inSampler);
    }
    void HandleTextureUnitUnattachSelf(X3DGC& inGC, uint32_t inUnit, _CGparameter* inSampler) override
    {
        itsImp->HandleTextureUnitUnattach(inGC, inUnit, inSampler);
    }
    void LockLevelSelf(XLockMode inMode, uint32_t inLevel) override { itsImp->LockLevel(inMode, inLevel); }
    void UnlockLevelSelf(XLockMode inMode, uint32_t inLevel) override { itsImp->UnlockLevel(inMode, inLevel); }

private:
    std::unique_ptr<TImp> itsImp;
};
