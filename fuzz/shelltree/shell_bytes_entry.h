#pragma once
#include <cstddef>
#include <cstdint>

// Feeds bytes to the folder tree's readers: as a stored item identifier list, as a file
// mask and a name (split at the first newline), and as a mount table.
int fuzzShellBytes(const std::uint8_t* data, std::size_t size);
