#pragma once
// Scratch files for fuzz targets that read their input from a file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Writes the input into one scratch file per process and returns its path.
inline const std::string& writeScratchFile(const uint8_t* data, size_t size, const char* suffix) {
    static std::string path = std::string("/tmp/qx-fuzz-") + std::to_string(getpid()) + suffix;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    if (size && std::fwrite(data, 1, size, f) != size) std::abort();
    std::fclose(f);
    return path;
}
