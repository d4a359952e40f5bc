// One include, named by the build (QUINDOR_PROBE_HEADER), compiled as a file of the library
// the probe links: it compiles where that library's arrows reach the header, and fails to
// find the header where they do not.
#include QUINDOR_PROBE_HEADER
