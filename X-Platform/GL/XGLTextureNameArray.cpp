#include "XGLTextureNameArray.h"
#include "XAssert.h"
#include "XGLContext.h"
#include "XGLContextLock.h"
#include "XGLException.h"
#include "XOpenGL.h"
#include "XSessionLogManager.h"
#include "XThread.h"

#include <atomic>
#include <numeric>

namespace {
std::atomic<bool> sDebugMode{false};
} // namespace

void XGLTextureNameArray::SetDebugMode(bool inOn)
{
    sDebugMode = inOn;
}

bool XGLTextureNameArray::IsDebugMode()
{
    return sDebugMode;
}

XGLTextureNameArray::~XGLTextureNameArray()
{
    XGLContext* owner = GetContext();
    if (!owner)
        return;
    try {
        // The names can be deleted only in their own context; take it when none is in
        // use, but never lock it over another current context.
        if (owner->IsCurrent()) {
            FreeNames();
        } else if (!XGLContext::GetCurrentContext() && XThread::IsMainThread()) {
            XGLContextLock lock(*owner);
            FreeNames();
        }
    } catch (...) {
        // A destructor cannot report; the names go with their context.
    }
    Unregister();
}

void XGLTextureNameArray::Unregister()
{
    if (XGLContext* context = GetContext())
        context->RemoveContextListener(this);
}

void XGLTextureNameArray::AllocateNames(uint32_t inCount)
{
    const XGLContext* current = XGLContext::GetCurrentContext();
    X_ASSERT_TEXT(current != nullptr, "context != 0");
    if (!current)
        return;
    if (GetContext() || itsContextID != 0) {
        if (HasTexturesInCurrentContext())
            FreeNames();
        Unregister();
        itsTextureNames.clear(); // another context's names: dropped, not deleted
        itsTextureSizes.clear();
        itsContextID = 0;
    }
    // Registration changes only the context's listener set, not its GL state.
    const_cast<XGLContext*>(current)->AddContextListener(this);
    itsContextID = current->GetContextID();
    if (sDebugMode)
        XSessionLogManager::GetManager()->AddEntry(XString("Generating %1 texture names for context %2")
                                                       .Replace(int64_t(inCount))
                                                       .Replace(int64_t(itsContextID)),
                                                   0);
    itsTextureNames.assign(inCount, 0);
    itsTextureSizes.assign(inCount, 0);
    if (inCount > 0) {
        glGenTextures(GLsizei(inCount), itsTextureNames.data());
        ThrowIfGLErr();
    }
}

void XGLTextureNameArray::FreeNames()
{
    if (sDebugMode && itsContextID != 0)
        XSessionLogManager::GetManager()->AddEntry(XString("Freeing %1 texture names for context %2")
                                                       .Replace(int64_t(itsTextureNames.size()))
                                                       .Replace(int64_t(itsContextID)),
                                                   3);
    if (HasTexturesInCurrentContext() && !itsTextureNames.empty())
        glDeleteTextures(GLsizei(itsTextureNames.size()), itsTextureNames.data());
    itsTextureNames.clear();
    itsTextureSizes.clear();
    itsContextID = 0;
    Unregister();
}

bool XGLTextureNameArray::CheckIndex(uint32_t inIndex) const
{
    X_ASSERT_TEXT(inIndex < itsTextureNames.size(), "inIndex < GetTextureCount()");
    return inIndex < itsTextureNames.size();
}

void XGLTextureNameArray::FreeName(uint32_t inIndex)
{
    if (!CheckIndex(inIndex))
        return;
    if (itsTextureNames[inIndex] != 0 && HasTexturesInCurrentContext()) {
        glDeleteTextures(1, &itsTextureNames[inIndex]);
        // A deleted number may be handed out again to someone else: never bind it again.
        itsTextureNames[inIndex] = 0;
    }
    itsTextureSizes[inIndex] = 0;
}

uint32_t XGLTextureNameArray::NameForBinding(uint32_t inIndex)
{
    if (itsTextureNames[inIndex] == 0) {
        glGenTextures(1, &itsTextureNames[inIndex]);
        ThrowIfGLErr();
    }
    return itsTextureNames[inIndex];
}

void XGLTextureNameArray::BindTexture2D(uint32_t inIndex, uint64_t inSize)
{
    const bool here = HasTexturesInCurrentContext();
    X_ASSERT_TEXT(here, "HasTexturesInCurrentContext()");
    if (!here || !CheckIndex(inIndex))
        return;
    glBindTexture(GL_TEXTURE_2D, NameForBinding(inIndex));
    itsTextureSizes[inIndex] = inSize;
}

void XGLTextureNameArray::BindTexture3D(uint32_t inIndex, uint64_t inSize)
{
    const bool here = HasTexturesInCurrentContext();
    X_ASSERT_TEXT(here, "HasTexturesInCurrentContext()");
    if (!here || !CheckIndex(inIndex))
        return;
    glBindTexture(GL_TEXTURE_3D, NameForBinding(inIndex));
    const GLenum error = glGetError();
    if (error != GL_NO_ERROR && error != GL_INVALID_ENUM)
        throw XGLException(error);
    itsTextureSizes[inIndex] = inSize;
    glTexParameterf(GL_TEXTURE_3D, GL_TEXTURE_PRIORITY, 0.0f);
}

void XGLTextureNameArray::BindTexture3D(uint32_t inUnit, uint32_t inIndex, uint64_t inSize)
{
    const bool here = HasTexturesInCurrentContext();
    X_ASSERT_TEXT(here, "HasTexturesInCurrentContext()");
    if (!here || !CheckIndex(inIndex))
        return;
    glActiveTextureARB(inUnit);
    glEnable(GL_TEXTURE_3D);
    BindTexture3D(inIndex, inSize);
}

bool XGLTextureNameArray::HasTexturesInCurrentContext() const
{
    return itsContextID != 0 && itsContextID == XGLContext::GetCurrentContextID();
}

uint32_t XGLTextureNameArray::GetTextureName(uint32_t inIndex) const
{
    return CheckIndex(inIndex) ? itsTextureNames[inIndex] : 0;
}

uint64_t XGLTextureNameArray::GetTextureSize(uint32_t inIndex) const
{
    return CheckIndex(inIndex) ? itsTextureSizes[inIndex] : 0;
}

uint64_t XGLTextureNameArray::GetTotalTextureSize() const
{
    return std::accumulate(itsTextureSizes.begin(), itsTextureSizes.end(), uint64_t(0));
}

void XGLTextureNameArray::PreContextDispose()
{
    FreeNames();
}
