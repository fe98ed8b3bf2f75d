#include "platform/workerprocess.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <vector>

namespace {

void closeIfOpen(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

}  // namespace

bool startWorker(WorkerProcess& worker, const WorkerProcess* others, int otherCount,
                 const std::function<void(int input, int output)>& body) {
    int down[2], up[2];
    if (pipe(down) != 0) return false;
    if (pipe(up) != 0) {
        close(down[0]);
        close(down[1]);
        return false;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        for (int fd : {down[0], down[1], up[0], up[1]}) close(fd);
        return false;
    }
    if (pid == 0) {
        close(down[1]);
        close(up[0]);
        for (int i = 0; i < otherCount; ++i) {
            close(others[i].toWorker);
            close(others[i].fromWorker);
        }
        body(down[0], up[1]);
        // Not exit(): the parent's buffered output and its atexit work are not the worker's.
        _exit(0);
    }
    close(down[0]);
    close(up[1]);
    worker.pid = pid;
    worker.toWorker = down[1];
    worker.fromWorker = up[0];
    return true;
}

bool writeAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

bool readAll(int fd, void* data, size_t size) {
    char* p = static_cast<char*>(data);
    while (size > 0) {
        const ssize_t n = read(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

int waitReadable(const int* fds, int count) {
    std::vector<pollfd> polled(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) polled[static_cast<size_t>(i)] = pollfd{fds[i], POLLIN, 0};
    if (poll(polled.data(), static_cast<nfds_t>(count), -1) < 0) return -1;
    for (int i = 0; i < count; ++i)
        if (polled[static_cast<size_t>(i)].revents != 0) return i;
    return -1;
}

bool endWorker(WorkerProcess& worker) {
    closeIfOpen(worker.toWorker);
    closeIfOpen(worker.fromWorker);
    if (worker.pid < 0) return true;
    int status = 0;
    pid_t done;
    do {
        done = waitpid(worker.pid, &status, 0);
    } while (done < 0 && errno == EINTR);
    worker.pid = -1;
    return done > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void interruptWorker(const WorkerProcess& worker) {
    if (worker.pid > 0) kill(worker.pid, SIGINT);
}
