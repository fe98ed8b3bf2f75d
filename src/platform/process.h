#pragma once
#include <functional>
#include <thread>

// Unbuffered standard streams, SIGINT ignored (interfaces send it to interrupt thinking) and
// SIGPIPE ignored (a vanished interface must not kill the engine before it sees the end of input).
void setUpProcessStreamsAndSignals();

// Starts body on a new thread; false when the system refuses to create it.
bool startThread(std::thread& thread, std::function<void()> body);
