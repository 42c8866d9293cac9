#pragma once
// Vertex and index storage in OpenGL buffer objects, and in host memory for drivers
// without them.
#include "X3DGC.h"
#include "X3DGCScopedLock.h"
#include "X3DIndexBuffer.h"
#include "X3DVertexBuffer.h"
#include "XAssert.h"
#include "XGLRendererException.h"
#include "XOpenGLGC.h"
#include "XOpenGLUtilities.h"
#include "XSimpleBuffer.h"

#include <cstring>
#include <type_traits>

template <class TOwner, class TBaseImp, GLenum kTarget>
class XOpenGLGC::XGLBufferImp : public TBaseImp {
public:
    XGLBufferImp(TOwner& inOwner, bool inFlushRange) : itsOwner(inOwner), itsFlushRange(inFlushRange) {}

    void DestroySelf(X3DGC& inGC) override
    {
        if (itsName != 0) {
            X3DGCScopedLock lock(inGC);
            glDeleteBuffersARB(1, &itsName);
            itsName = 0;
        }
    }
    void CopyInDataWithOffset(const void* inData, uint64_t inSizeBytes, uint64_t inOffsetBytes) override
    {
        // Compared so that no sum can wrap around.
        const uint64_t size = itsOwner.GetSizeBytes();
        const bool inside = inOffsetBytes <= size && inSizeBytes <= size - inOffsetBytes;
        X_ASSERT_TEXT(inside, "(inOffsetBytes + inSizeBytes) <= TBaseImp::itsOwner.GetSizeBytes()");
        X_ASSERT(itsMappedPtr != 0);
        if (itsMappedPtr == nullptr || !inside)
            return;
        std::memcpy(static_cast<uint8_t*>(itsMappedPtr) + inOffsetBytes, inData, inSizeBytes);
    }
    void* GetData(uint64_t inOffsetBytes, uint64_t inSizeBytes) override
    {
        itsRangeOffset = inOffsetBytes;
        itsRangeSize = inSizeBytes;
        X_ASSERT(itsMappedPtr != 0);
        return itsMappedPtr ? static_cast<uint8_t*>(itsMappedPtr) + inOffsetBytes : nullptr;
    }
    void RenderLock(X3DGC& inGC) override
    {
        Bind();
        if constexpr (kTarget == GL_ARRAY_BUFFER_ARB)
            static_cast<XOpenGLGCImp&>(inGC.GetImp()).SetUpVertexArrays(nullptr);
    }
    void RenderUnlock(X3DGC&) override { glBindBufferARB(kTarget, 0); }
    bool GetFlushRange() const { return itsFlushRange; }

protected:
    void LockSelf(XLockMode inMode) override
    {
        Bind();
        const GLenum access = inMode == kLockReadWrite ? GL_READ_WRITE_ARB
                            : inMode == kLockWrite     ? GL_WRITE_ONLY_ARB
                                                       : GL_READ_ONLY_ARB;
        itsMappedPtr = glMapBufferARB(kTarget, access);
        if (itsMappedPtr == nullptr) {
            X_ASSERT(false);
            // Nothing may be written through a failed map: say why instead.
            const GLenum error = glGetError();
            glBindBufferARB(kTarget, 0);
            throw XGLRendererException(error != GL_NO_ERROR ? error : GL_OUT_OF_MEMORY);
        }
    }
    void UnlockSelf(XLockMode) override
    {
        if (itsMappedPtr != nullptr) {
            itsRangeOffset = itsRangeSize = 0;
            itsMappedPtr = nullptr;
            if (glUnmapBufferARB(kTarget) == GL_FALSE) {
                // The store was lost while mapped.
                const GLenum error = glGetError();
                glBindBufferARB(kTarget, 0);
                throw XGLRendererException(error != GL_NO_ERROR ? error : GL_OUT_OF_MEMORY);
            }
        }
        glBindBufferARB(kTarget, 0);
    }

private:
    void Bind()
    {
        if (itsName != 0) {
            glBindBufferARB(kTarget, itsName);
            return;
        }
        glGenBuffersARB(1, &itsName);
        glBindBufferARB(kTarget, itsName);
        GLenum hint = GL_STREAM_DRAW_ARB;
        switch (itsOwner.GetUsage()) {
        case X3DGCBuffer::kBufferStaticDraw: hint = GL_STATIC_DRAW_ARB; break;
        case X3DGCBuffer::kBufferStreamDraw: hint = GL_STREAM_DRAW_ARB; break;
        case X3DGCBuffer::kBufferStreamCopy: hint = GL_STREAM_COPY_ARB; break;
        }
        glBufferDataARB(kTarget, GLsizeiptrARB(itsOwner.GetSizeBytes()), nullptr, hint);
        XOpenGLUtilities::CheckGLError();
    }

    TOwner& itsOwner;
    GLuint itsName = 0;
    void* itsMappedPtr = nullptr;
    uint64_t itsRangeOffset = 0;
    uint64_t itsRangeSize = 0;
    bool itsFlushRange;
};

// Host memory: locking does nothing, drawing takes its arrays from it.
class XOpenGLGC::XGLSimpleVertexBufferImp : public X3DVertexBufferImp {
public:
    explicit XGLSimpleVertexBufferImp(X3DVertexBuffer& inOwner);
    void DestroySelf(X3DGC&) override {}
    void CopyInDataWithOffset(const void* inData, uint64_t inSizeBytes, uint64_t inOffsetBytes) override;
    void* GetData(uint64_t inOffsetBytes, uint64_t inSizeBytes) override;
    void RenderLock(X3DGC& inGC) override;
    void RenderUnlock(X3DGC&) override {}

private:
    XSimpleBuffer itsBuffer;
};

class XOpenGLGC::XGLSimpleIndexBufferImp : public X3DIndexBufferImp {
public:
    explicit XGLSimpleIndexBufferImp(X3DIndexBuffer& inOwner);
    void DestroySelf(X3DGC&) override {}
    void CopyInDataWithOffset(const void* inData, uint64_t inSizeBytes, uint64_t inOffsetBytes) override;
    void* GetData(uint64_t inOffsetBytes, uint64_t inSizeBytes) override;
    void RenderLock(X3DGC&) override {}
    void RenderUnlock(X3DGC&) override {}
    const void* GetBaseElementAddress() const override { return itsBuffer.GetData(); }

private:
    XSimpleBuffer itsBuffer;
};

using XGLVertexBufferImp = XOpenGLGC::XGLBufferImp<X3DVertexBuffer, X3DVertexBufferImp, GL_ARRAY_BUFFER_ARB>;

// The index variant adds what indexed draws need.
class XGLIndexBufferImp : public XOpenGLGC::XGLBufferImp<X3DIndexBuffer, X3DIndexBufferImp, GL_ELEMENT_ARRAY_BUFFER_ARB> {
public:
    using XGLBufferImp::XGLBufferImp;
    // Indexed draws give offsets into the bound buffer object.
    const void* GetBaseElementAddress() const override { return nullptr; }
};
