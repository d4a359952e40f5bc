#pragma once
// Entry functions of the multi-language readers' fuzz targets; the tests replay the kept
// corpora through the same functions. Each reads its input and, when the read succeeds,
// writes it back and reads that again: the second write must equal the first. A reader
// fault is caught by the sanitizers; a mismatch aborts.

#include <cstddef>
#include <cstdint>

namespace mltlang_fuzz {

// A translation container (a page's Items.ObjectContainer) and any object through the
// class registry.
int fuzzObjectStream(const std::uint8_t* data, std::size_t size);
// mltlang.cfg.
int fuzzConfiguration(const std::uint8_t* data, std::size_t size);
// A dictionary body.
int fuzzDictionary(const std::uint8_t* data, std::size_t size);

}  // namespace mltlang_fuzz
