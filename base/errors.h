#pragma once
// The one base of the errors the setup program raises itself, whatever its layer: a caller
// can catch them apart from the library's and the language's own.

#include <stdexcept>

namespace base {

class Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace base
