#pragma once

#include <cstdint>
#include <string>
#include <typeinfo>

#include <boost/core/demangle.hpp>

// A type's name as the run-time type information gives it: maps keyed by it (the singletons,
// a store's type indices) hash and compare the address, never the characters.
using TypeName = const char*;

template <typename T>
TypeName NameOf() {
    return typeid(T).name();
}

// For error messages.
inline std::string ReadableName(TypeName name) {
    return boost::core::demangle(name);
}
template <typename T>
std::string ReadableName() {
    return ReadableName(NameOf<T>());
}

// Indices handed out from 0, each once per program, one run for every Family (component types,
// query lists), so that a table indexed by them needs no hashing. A function-local counter is ready
// whichever start-up initialiser asks first.
template <typename Family>
std::uint32_t NextIndex() {
    static std::uint32_t next = 0;
    return next++;
}
