// A windowed program's standard streams: those it was given (redirected, or
// handed over by vallup.com), else the console of the program that started
// it, if that has one. Attached to that console, it also receives Ctrl-C.
#include "platform/console.h"

#undef APIENTRY
#undef CALLBACK
#undef WINGDIAPI
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

bool given(DWORD which)
{
    HANDLE h = GetStdHandle(which);
    return h && h != INVALID_HANDLE_VALUE && GetFileType(h) != FILE_TYPE_UNKNOWN;
}

std::string utf8(const wchar_t* wide)
{
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1)
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), bytes, nullptr, nullptr);
    return text;
}

}  // namespace

void platConsoleStart(int* argc, char*** argv)
{
    bool out = given(STD_OUTPUT_HANDLE), err = given(STD_ERROR_HANDLE);
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        if (!out)
            std::freopen("CONOUT$", "w", stdout);
        if (!err)
            std::freopen("CONOUT$", "w", stderr);
    }
    std::setvbuf(stderr, nullptr, _IONBF, 0);

    // The arguments as UTF-8, kept for the program's life.
    static std::vector<std::string> args;
    static std::vector<char*> pointers;
    int n = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &n);
    if (!wide)
        return;   // keep the runtime's own (the system's code page)
    for (int i = 0; i < n; i++)
        args.push_back(utf8(wide[i]));
    LocalFree(wide);
    for (std::string& a : args)
        pointers.push_back(a.data());
    pointers.push_back(nullptr);
    *argc = n;
    *argv = pointers.data();
}
