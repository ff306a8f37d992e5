#ifndef FUZZDOCUMENT_H
#define FUZZDOCUMENT_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// The word store reads only from a path, so every fuzz input goes through
// one file of the fuzzing process.
inline bool writeFuzzDocument(const std::string &path, const uint8_t *data, size_t size)
{
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        return false;
    const bool written = size == 0 || std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

#endif // FUZZDOCUMENT_H
