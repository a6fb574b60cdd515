// obj_io: the loader's file and memory handling on Linux. Internal to mesh/.
#pragma once

#include <cstddef>

namespace objio {

// A whole file in memory: mapped read-only when it is a regular file (no
// copy; the pages come straight from the page cache), else read into the
// heap. The text is not NUL-terminated.
struct FileText {
    char* text = nullptr;
    size_t length = 0;
    bool mapped = false;
};

// False when the file cannot be opened or read (out is then empty).
bool readWholeFile(const char* path, FileText& out);
void releaseFile(FileText& f);

// Asks for huge pages behind a large fresh heap block: touching tens of
// megabytes page by page costs more than parsing them. Harmless when the
// system declines.
void adviseLarge(void* block, size_t bytes);

}  // namespace objio
