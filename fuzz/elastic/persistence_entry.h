#pragma once
#include <cstddef>
#include <cstdint>

// Reads the bytes as the persistence file of a page with six controls on a 1024 x 768
// screen and aborts when an accepted file would put the page off the screen, forbid its
// designed size, or does not encode back to the bytes it was read from.
int fuzzElasticPersistence(const std::uint8_t* data, std::size_t size);
