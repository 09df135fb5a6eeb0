#pragma once
// Comparing large files touches tens of MB of fresh memory at once, and on Linux a page fault per
// 4 kB page is a large part of that time. PrepareHeap, called first thing in main, gives the
// process's heap a reserve that the kernel backs with huge pages.

void PrepareHeap();
