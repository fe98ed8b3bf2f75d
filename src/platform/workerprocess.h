#pragma once
// Child processes that work beside this one, each with a pipe to it and one back: for work that
// uses the process-wide records and tables, which one process can hold only once.
#include <cstddef>
#include <functional>

struct WorkerProcess {
    int pid = -1;
    int toWorker = -1;    // this process writes, the worker reads
    int fromWorker = -1;  // the worker writes, this process reads
};

// Forks a worker that runs body(its input, its output) and then ends. `others` are the workers
// already started: the new one closes their pipes, so that each pipe has one reader and one
// writer and a closed end is seen at once. False when the system refuses.
bool startWorker(WorkerProcess& worker, const WorkerProcess* others, int otherCount,
                 const std::function<void(int input, int output)>& body);
// Whole writes and reads over a pipe; false when the other end is gone (or on an error).
bool writeAll(int fd, const void* data, size_t size);
bool readAll(int fd, void* data, size_t size);
// Waits until one of the descriptors has something to read (or its writer is gone) and answers
// its index; -1 when interrupted by a signal, so that the caller can look at its flags.
int waitReadable(const int* fds, int count);
// Closes this side's pipes and waits for the worker to end; false when it did not end well.
bool endWorker(WorkerProcess& worker);
// Passes an interrupt on to a worker (one sent from a terminal reaches it anyway).
void interruptWorker(const WorkerProcess& worker);
