// Counts the bytes this test program holds through operator new, so that a test can show how
// much memory an operation claims at its peak.
#pragma once

#include <cstddef>

namespace gridloom::test {

std::size_t LiveHeapBytes();
// The most held at once since the last ResetHeapPeak.
std::size_t PeakHeapBytes();
void ResetHeapPeak();

}  // namespace gridloom::test
