#include <windows.h>

#include "platform/detached_thread.h"

namespace {

struct Start {
    void (*task)(void*);
    void* argument;
};

DWORD WINAPI Run(LPVOID parameter) {
    const Start start = *static_cast<Start*>(parameter);
    delete static_cast<Start*>(parameter);
    start.task(start.argument);
    return 0;
}

}  // namespace

bool RunDetached(void (*task)(void*), void* argument) {
    Start* start = new Start{task, argument};
    HANDLE thread = CreateThread(nullptr, 0, &Run, start, 0, nullptr);
    if (thread == nullptr) {
        delete start;
        return false;
    }
    CloseHandle(thread);
    return true;
}

void SleepMilliseconds(int milliseconds) {
    Sleep(DWORD(milliseconds));
}
