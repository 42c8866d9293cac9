#pragma once
// The legacy renderer's vertex list, kept in host memory: many readers at once (drawing,
// simplification) or one writer, through the lockable's modes. The format number names
// the vertex layout to the legacy drawing code.
#include "XLockable.h"
#include "XMathVector.h"

#include <cstddef>
#include <cstdint>
#include <shared_mutex>
#include <vector>

// Position and normal.
struct XGLVertex_P_N {
    XMathVectorF3 itsPosition;
    XMathVectorF3 itsNormal;
};

template <class TVertex, uint32_t kFormat>
class XGLVertexBuffer : public XLockable {
public:
    static constexpr uint32_t kVertexFormat = kFormat;

    // The accessors below expect the caller to hold the buffer locked (reading for the
    // const ones, writing or read/write for the others).
    size_t GetVertexCount() const { return itsVertices.size(); }
    const TVertex* GetVertices() const { return itsVertices.data(); }
    TVertex* GetVertices() { return itsVertices.data(); }
    const TVertex& operator[](size_t inIndex) const { return itsVertices[inIndex]; }
    void Resize(size_t inCount) { itsVertices.resize(inCount); }
    void Reserve(size_t inCount) { itsVertices.reserve(inCount); }
    void Append(const TVertex& inVertex) { itsVertices.push_back(inVertex); }

protected:
    void LockSelf(XLockMode inMode) override
    {
        if (inMode == kLockRead)
            itsLock.lock_shared();
        else
            itsLock.lock();
    }
    void UnlockSelf(XLockMode inMode) override
    {
        if (inMode == kLockRead)
            itsLock.unlock_shared();
        else
            itsLock.unlock();
    }

private:
    std::shared_mutex itsLock;
    std::vector<TVertex> itsVertices;
};
