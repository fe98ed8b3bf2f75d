#include "platform/filemap.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

FileMapping mapFile(const char* path) {
    FileMapping mapping;
    int fd = ::open(path, O_RDONLY);
    if (fd < 0) return mapping;
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        void* base = ::mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_SHARED, fd, 0);
        if (base != MAP_FAILED) {
            mapping.data = static_cast<const uint8_t*>(base);
            mapping.size = static_cast<uint64_t>(info.st_size);
        }
    }
    ::close(fd);  // the mapping keeps the file alive
    return mapping;
}

void unmapFile(FileMapping& mapping) {
    if (mapping.data != nullptr) ::munmap(const_cast<uint8_t*>(mapping.data), static_cast<size_t>(mapping.size));
    mapping = FileMapping{};
}

bool fileReadable(const char* path) {
    int fd = ::open(path, O_RDONLY);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}
