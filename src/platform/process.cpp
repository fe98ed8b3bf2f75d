#include "platform/process.h"

#include <csignal>
#include <cstdio>
#include <system_error>

void setUpProcessStreamsAndSignals() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stdin, nullptr, _IONBF, 0);
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
}

bool startThread(std::thread& thread, std::function<void()> body) {
    try {
        thread = std::thread(std::move(body));
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}
