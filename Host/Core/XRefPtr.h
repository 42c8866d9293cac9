#pragma once
// Smart pointer to an XRefCountable object: holds one reference while it points.
#include <cstddef>
#include <utility>

template <class T>
class XRefPtr {
public:
    XRefPtr() = default;
    XRefPtr(std::nullptr_t) {}
    XRefPtr(T* inObject) : itsObject(inObject) { Acquire(); }
    XRefPtr(const XRefPtr& inOther) : itsObject(inOther.itsObject) { Acquire(); }
    XRefPtr(XRefPtr&& inOther) noexcept : itsObject(std::exchange(inOther.itsObject, nullptr)) {}
    template <class U>
    XRefPtr(const XRefPtr<U>& inOther) : itsObject(inOther.Get()) { Acquire(); }
    ~XRefPtr() { Drop(); }

    XRefPtr& operator=(const XRefPtr& inOther)
    {
        Reset(inOther.itsObject);
        return *this;
    }
    XRefPtr& operator=(XRefPtr&& inOther) noexcept
    {
        if (this != &inOther) {
            Drop();
            itsObject = std::exchange(inOther.itsObject, nullptr);
        }
        return *this;
    }
    XRefPtr& operator=(T* inObject)
    {
        Reset(inObject);
        return *this;
    }

    // Points at inObject; safe when inObject is the current object.
    void Reset(T* inObject = nullptr)
    {
        T* old = itsObject;
        itsObject = inObject;
        Acquire();
        if (old)
            old->Release();
    }

    T* Get() const { return itsObject; }
    T* operator->() const { return itsObject; }
    T& operator*() const { return *itsObject; }
    explicit operator bool() const { return itsObject != nullptr; }
    friend bool operator==(const XRefPtr& a, const XRefPtr& b) { return a.itsObject == b.itsObject; }
    friend bool operator==(const XRefPtr& a, std::nullptr_t) { return a.itsObject == nullptr; }

private:
    void Acquire()
    {
        if (itsObject)
            itsObject->AddRef();
    }
    void Drop()
    {
        if (itsObject)
            std::exchange(itsObject, nullptr)->Release();
    }

    T* itsObject = nullptr;
};
