/* vallup.com: the show started from a console. Windows' console runs a .com
 * before an .exe of the same name, so typing `vallup` there runs this: it
 * starts vallup.exe beside it with the same arguments and standard streams,
 * waits for it and returns its exit status, which a console does not do for a
 * windowed program. Ctrl-C reaches the show itself (it attaches to this
 * console), so this one only waits. */
#include <windows.h>

#include <stdio.h>
#include <wchar.h>

/* The command line after the program's own name, as Windows' rules split it:
 * a quoted name runs to the next quote, an unquoted one to a space or tab. */
static const wchar_t* arguments(const wchar_t* line)
{
    if (*line == L'"') {
        line++;
        while (*line && *line != L'"')
            line++;
        if (*line)
            line++;
    } else {
        while (*line && *line != L' ' && *line != L'\t')
            line++;
    }
    return line;
}

int wmain(void)
{
    static wchar_t exe[32768], command[32768 + 3];
    DWORD n = GetModuleFileNameW(NULL, exe, 32768);
    if (n < 4 || n >= 32768) {
        fputs("vallup: cannot tell where vallup.com lies\n", stderr);
        return 1;
    }
    wcscpy(exe + n - 4, L".exe");
    const wchar_t* rest = arguments(GetCommandLineW());
    if (wcslen(exe) + wcslen(rest) + 3 > sizeof command / sizeof command[0]) {
        fputs("vallup: the command line is too long\n", stderr);
        return 2;
    }
    swprintf(command, sizeof command / sizeof command[0], L"\"%ls\"%ls", exe, rest);

    STARTUPINFOW start;
    ZeroMemory(&start, sizeof start);
    start.cb = sizeof start;
    start.dwFlags = STARTF_USESTDHANDLES;
    start.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    start.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
    start.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION child;
    if (!CreateProcessW(exe, command, NULL, NULL, TRUE, 0, NULL, NULL, &start, &child)) {
        fwprintf(stderr, L"vallup: cannot start %ls (error %lu)\n", exe, GetLastError());
        return 1;
    }
    SetConsoleCtrlHandler(NULL, TRUE); /* Ctrl-C is the show's to handle */
    WaitForSingleObject(child.hProcess, INFINITE);
    DWORD status = 1;
    GetExitCodeProcess(child.hProcess, &status);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return (int)status;
}
