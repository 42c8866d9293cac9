#pragma once
// The host's value vector.
#include <algorithm>
#include <cstddef>
#include <vector>

template <class T>
class XVector : public std::vector<T> {
public:
    using std::vector<T>::vector;
    static constexpr size_t npos = static_cast<size_t>(-1);

    bool DoesContain(const T& inValue) const { return Find(inValue) != npos; }
    // Index of the first equal element, npos when none is.
    size_t Find(const T& inValue) const
    {
        auto it = std::find(this->begin(), this->end(), inValue);
        return it == this->end() ? npos : static_cast<size_t>(it - this->begin());
    }
};
