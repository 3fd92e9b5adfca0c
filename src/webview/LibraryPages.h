#pragma once

// The pages of the libraries and files a process has mapped and only read: while the web view
// process waits for its first page they are some 40 of its 50 MiB resident (the engine's library
// alone, 18 MiB, read through once by the dynamic linker), and it needs none of them until then.
namespace LibraryPages {

// Unmaps them from the process: they stay in the page cache, where the process finds them again
// when it touches them, at the cost of a minor page fault. Pages the process has written (a
// library's relocated data) are its own and stay.
void release();

} // namespace LibraryPages
