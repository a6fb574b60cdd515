// obj_io: see obj_io.h.
#include "mesh/obj_io.h"

#include <sys/stat.h>
#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#define OBJ_MAPS_FILES 1   // POSIX systems map the file; others read it
#endif

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace objio {

void releaseFile(FileText& f)
{
#ifdef OBJ_MAPS_FILES
    if (f.mapped)
        munmap(f.text, f.length);
    else
#endif
        std::free(f.text);
    f = FileText();
}

bool readWholeFile(const char* path, FileText& out)
{
    FILE* f = std::fopen(path, "rb");   // binary: the text is parsed as its bytes stand
    if (!f)
        return false;
    struct stat st;
    size_t cap = 1 << 16;
    if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
#ifdef OBJ_MAPS_FILES
        void* map = mmap(nullptr, (size_t)st.st_size, PROT_READ, MAP_PRIVATE | MAP_POPULATE,
                         fileno(f), 0);
        if (map != MAP_FAILED) {
            std::fclose(f);
            madvise(map, (size_t)st.st_size, MADV_SEQUENTIAL);
            out.text = (char*)map;
            out.length = (size_t)st.st_size;
            out.mapped = true;
            return true;
        }
#endif
        cap = (size_t)st.st_size + 1;
    }
    char* buf = (char*)std::malloc(cap);
    size_t used = 0;
    while (buf) {
        used += std::fread(buf + used, 1, cap - used, f);
        if (used < cap)
            break;
        char* bigger = (char*)std::realloc(buf, cap * 2);
        if (!bigger) {
            std::free(buf);
            buf = nullptr;
            break;
        }
        buf = bigger;
        cap *= 2;
    }
    bool failed = !buf || std::ferror(f);
    std::fclose(f);
    if (failed) {
        std::free(buf);
        return false;
    }
    out.text = buf;
    out.length = used;
    return true;
}

void adviseLarge(void* block, size_t bytes)
{
#ifdef OBJ_MAPS_FILES
    const uintptr_t page = 4096, huge = (uintptr_t)2 << 20;
    if (bytes < 2 * huge)
        return;
    uintptr_t start = ((uintptr_t)block + page - 1) & ~(page - 1);
    uintptr_t end = ((uintptr_t)block + bytes) & ~(page - 1);
    madvise((void*)start, end - start, MADV_HUGEPAGE);
#else
    (void)block, (void)bytes;   // no such advice to give
#endif
}

}  // namespace objio
