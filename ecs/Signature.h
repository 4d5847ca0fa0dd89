#pragma once

#include <cstdint>

#include <boost/dynamic_bitset.hpp>
#include <boost/functional/hash.hpp>

// Bit i is set when the entity, archetype or query includes the component type of index i.
using Signature = boost::dynamic_bitset<std::uint32_t>;
using SignatureHash = boost::hash<Signature>;

// True when every bit set in query is also set in signature. Bits beyond a signature's
// length count as clear, so signatures of different lengths compare soundly.
inline bool SignatureMatches(const Signature& signature, const Signature& query) {
    if (signature.size() == query.size()) {
        return query.is_subset_of(signature);
    }
    for (auto i = query.find_first(); i != Signature::npos; i = query.find_next(i)) {
        if (i >= signature.size() || !signature.test(i)) {
            return false;
        }
    }
    return true;
}
