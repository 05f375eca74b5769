// A thread_local object with a destructor, as the engine must never hold:
// the thread-exit check first shows that it finds this one.
#include <string>

namespace {
thread_local std::string t_probe;
}

void threadExitProbe(const char* text) {
    t_probe = text;
}
