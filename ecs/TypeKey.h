#pragma once

#include <cstdint>
#include <string>
#include <typeinfo>

#include <boost/core/demangle.hpp>

// A type is known by the address of its name string from the run-time type information.
// Maps keyed by it hash and compare the address, never the characters.
using TypeKey = const char*;

template <typename T>
TypeKey KeyOf() {
    return typeid(T).name();
}

// Readable type name for error messages.
inline std::string TypeName(TypeKey key) {
    return boost::core::demangle(key);
}
template <typename T>
std::string TypeName() {
    return TypeName(KeyOf<T>());
}

// Indices handed out from 0, each once per program, one run for every Family, so that a table
// indexed by them needs no hashing. A function-local counter is ready whichever start-up
// initialiser asks first.
template <typename Family>
std::uint32_t NextIndex() {
    static std::uint32_t next = 0;
    return next++;
}
