// Where the program lies, from Windows' module table.
#include "platform/files.h"

#undef APIENTRY
#undef CALLBACK
#undef WINGDIAPI
#include <windows.h>

std::string platExecutablePath()
{
    wchar_t wide[32768];   // the longest path Windows allows
    DWORD n = GetModuleFileNameW(nullptr, wide, sizeof wide / sizeof wide[0]);
    if (n == 0 || n >= sizeof wide / sizeof wide[0])
        return "";
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, (int)n, nullptr, 0, nullptr, nullptr);
    std::string path(bytes, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, (int)n, path.data(), bytes, nullptr, nullptr);
    return path;
}
