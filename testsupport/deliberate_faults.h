#pragma once

// Hardware faults that tests cause on purpose. They are built without the sanitizers' checks, so
// that in the sanitizer build too each one reaches the fault handlers as the signal it is, not as
// a sanitizer's report.

namespace vkt::test {

// SIGSEGV: a write to address 0.
void writenull();
// SIGFPE: an integer division by zero.
void dividebyzero();
// SIGSEGV next to the stack pointer: recursion until the stack runs out.
void overflowstack();
// SIGSEGV inside the C library: the length of a null text.
void readnullinclibrary();
// SIGILL: a trap instruction.
void trap();

} // namespace vkt::test
