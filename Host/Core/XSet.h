#pragma once
#include <set>

template <class T, class Compare = std::less<T>>
class XSet : public std::set<T, Compare> {
public:
    using std::set<T, Compare>::set;
    bool Contains(const T& inValue) const { return this->find(inValue) != this->end(); }
};
