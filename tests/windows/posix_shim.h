// The few POSIX calls the shared tests make that the Windows C runtime names
// otherwise (forced into every test source of the Windows build). The tests'
// /tmp/... paths lie on Wine's drive Z: like the rest of the Unix tree.
#pragma once
#ifdef __cplusplus
#include <cstdlib>
#include <cstring>
#include <direct.h>
#include <io.h>

inline int setenv(const char* name, const char* value, int)
{
    return _putenv_s(name, value);
}

inline int unsetenv(const char* name)
{
    return _putenv_s(name, "");   // an empty value removes the variable
}

// A new directory from a name ending in XXXXXX, as POSIX makes it.
inline char* mkdtemp(char* tmpl)
{
    size_t n = std::strlen(tmpl);   // _mktemp_s wants the size with its terminator
    if (_mktemp_s(tmpl, n + 1) != 0 || _mkdir(tmpl) != 0)
        return nullptr;
    return tmpl;
}
#endif
