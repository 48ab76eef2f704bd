#pragma once

#include <pthread.h>

// SANE's test backend ends its reader thread with asynchronous cancellation, both when a pass has
// been read and when a scan is cancelled. The cancellation can strike while the thread is inside
// the allocator and leave an arena locked, and a later allocation in that arena then waits for
// ever: about one scan in some hundreds hangs, and what the thread was filling is never freed.
// The scan tests let the reader run out instead. Once the backend has closed its end of the pipe,
// the reader's next write fails (SIGPIPE is ignored) and the thread ends by itself, so joining it
// stays bounded. Defined in the test program and exported from it (tests/CMakeLists.txt), this
// takes the place of the C library's function for the backend the test loads.
extern "C" int pthread_cancel(pthread_t)
{
    return 0;
}
