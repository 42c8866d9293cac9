#pragma once
// A vector of pointers. It does not own what it points to: the owner deletes
// the elements (DeleteAll does so for owners that keep them here).
#include <algorithm>
#include <cstddef>
#include <vector>

template <class T>
class XPtrVector : public std::vector<T*> {
public:
    using std::vector<T*>::vector;
    static constexpr size_t npos = static_cast<size_t>(-1);

    bool DoesContain(const T* inItem) const { return Find(inItem) != npos; }
    size_t Find(const T* inItem) const
    {
        auto it = std::find(this->begin(), this->end(), inItem);
        return it == this->end() ? npos : static_cast<size_t>(it - this->begin());
    }
    // Removes the first occurrence; false when it was not there.
    bool Remove(const T* inItem)
    {
        size_t at = Find(inItem);
        if (at == npos)
            return false;
        this->erase(this->begin() + static_cast<std::ptrdiff_t>(at));
        return true;
    }
    void DeleteAll()
    {
        for (T* item : *this)
            delete item;
        this->clear();
    }
};

template <class T>
class XConstPtrVector : public std::vector<const T*> {
public:
    using std::vector<const T*>::vector;
    static constexpr size_t npos = static_cast<size_t>(-1);

    bool DoesContain(const T* inItem) const { return Find(inItem) != npos; }
    size_t Find(const T* inItem) const
    {
        auto it = std::find(this->begin(), this->end(), inItem);
        return it == this->end() ? npos : static_cast<size_t>(it - this->begin());
    }
};
