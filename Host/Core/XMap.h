#pragma once
#include <map>

template <class K, class V, class Compare = std::less<K>>
class XMap : public std::map<K, V, Compare> {
public:
    using std::map<K, V, Compare>::map;
    bool Contains(const K& inKey) const { return this->find(inKey) != this->end(); }
    // The value for the key, or inDefault when the key is absent.
    V Lookup(const K& inKey, const V& inDefault = V()) const
    {
        auto it = this->find(inKey);
        return it == this->end() ? inDefault : it->second;
    }
};
