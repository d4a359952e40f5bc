#pragma once
#include <cstddef>
#include <cstdint>

// Reads the bytes as the setup program's arguments (separated by NUL bytes) against a small
// offer of languages and dictionaries: every line is refused with a message or gives choices
// taken from the offer (at least one dictionary, each once, in row order). Aborts otherwise.
int fuzzCommandLine(const std::uint8_t* data, std::size_t size);
