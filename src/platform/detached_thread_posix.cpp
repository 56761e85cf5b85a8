#include <chrono>
#include <system_error>
#include <thread>

#include "platform/detached_thread.h"

bool RunDetached(void (*task)(void*), void* argument) {
    try {
        std::thread(task, argument).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

void SleepMilliseconds(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
