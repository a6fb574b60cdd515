// Helper programs on Windows: CreateProcessW with inherited pipe handles, a
// console control handler for the stop requests, UTF-16 file calls.
#include "platform/process.h"

#undef APIENTRY
#undef CALLBACK
#undef WINGDIAPI
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

volatile LONG stopRequested = 0;

std::wstring widen(const std::string& utf8)
{
    int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), nullptr, 0);
    std::wstring wide(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), (int)utf8.size(), wide.data(), n);
    return wide;
}

std::string narrow(const std::wstring& wide)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), nullptr, 0, nullptr,
                                nullptr);
    std::string utf8(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), (int)wide.size(), utf8.data(), n, nullptr,
                        nullptr);
    return utf8;
}

// The system's words for this error code, without the closing ".\r\n".
std::string errorText(DWORD code)
{
    wchar_t* text = nullptr;
    DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, (wchar_t*)&text, 0, nullptr);
    std::wstring wide(text ? text : L"", n);
    LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L'.'))
        wide.pop_back();
    if (wide.empty())
        return "Windows error " + std::to_string(code);
    return narrow(wide);
}

bool failed(std::string* why)
{
    *why = errorText(GetLastError());
    return false;
}

// One argument as CommandLineToArgvW (and the C runtime) reads it back:
// quoted when it holds blanks or quotes or is empty; inside quotes, a run of
// backslashes is doubled before a quote (which is escaped) and at the end.
std::wstring quoted(const std::wstring& arg)
{
    if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return arg;
    std::wstring q = L"\"";
    size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            backslashes++;
            continue;
        }
        q.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        q += c;
    }
    q.append(2 * backslashes, L'\\');
    return q + L"\"";
}

// An inheritable copy of a handle, for one child's start; null on failure.
HANDLE inheritable(HANDLE h)
{
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), h, GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
        return nullptr;
    return copy;
}

HANDLE openNull(DWORD access)
{
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    return CreateFileW(L"NUL", access, FILE_SHARE_READ | FILE_SHARE_WRITE, &sa, OPEN_EXISTING, 0,
                       nullptr);
}

BOOL WINAPI onConsoleEvent(DWORD event)
{
    InterlockedExchange(&stopRequested, 1);
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT)
        return TRUE;
    // Closing the console, logging off, shutting down: Windows ends the
    // process as soon as this returns, so hold it for the few seconds it
    // allows while the capture finishes its file.
    Sleep(INFINITE);
    return TRUE;
}

}  // namespace

std::string platFindProgram(const char* name)
{
    wchar_t buffer[32768];   // the longest value an environment variable holds
    DWORD n = GetEnvironmentVariableW(L"PATH", buffer, 32768);
    std::wstring dirs(buffer, n < 32768 ? n : 0);
    n = GetEnvironmentVariableW(L"PATHEXT", buffer, 32768);
    std::wstring exts = n > 0 && n < 32768 ? std::wstring(buffer, n) : L".COM;.EXE;.BAT;.CMD";
    std::wstring wname = widen(name);

    std::vector<std::wstring> endings;
    if (wname.find(L'.') != std::wstring::npos)
        endings.push_back(L"");   // a name with an extension is tried as it is first
    for (size_t start = 0; start <= exts.size();) {
        size_t end = exts.find(L';', start);
        if (end == std::wstring::npos)
            end = exts.size();
        if (end > start)
            endings.push_back(exts.substr(start, end - start));
        start = end + 1;
    }
    for (size_t start = 0; start <= dirs.size();) {
        size_t end = dirs.find(L';', start);
        if (end == std::wstring::npos)
            end = dirs.size();
        std::wstring dir = dirs.substr(start, end - start);
        start = end + 1;
        if (dir.size() >= 2 && dir.front() == L'"' && dir.back() == L'"')
            dir = dir.substr(1, dir.size() - 2);
        if (dir.empty())
            continue;
        if (dir.back() != L'\\' && dir.back() != L'/')
            dir += L'\\';
        for (const std::wstring& ending : endings) {
            std::wstring file = dir + wname + ending;
            DWORD attributes = GetFileAttributesW(file.c_str());
            if (attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY))
                return narrow(file);
        }
    }
    return "";
}

bool platPipe(PlatHandle* readEnd, PlatHandle* writeEnd, size_t bufferBytes, std::string* why)
{
    // Neither end is inheritable: platSpawn hands a child an inheritable copy
    // of its own end only, so no other child holds the pipe open.
    HANDLE r, w;
    if (!CreatePipe(&r, &w, nullptr, (DWORD)bufferBytes))
        return failed(why);
    *readEnd = (PlatHandle)r;
    *writeEnd = (PlatHandle)w;
    return true;
}

void platClose(PlatHandle handle)
{
    if (handle != PLAT_NONE)
        CloseHandle((HANDLE)handle);
}

PlatWriteResult platWriteAll(PlatHandle handle, const void* data, size_t size, std::string* why)
{
    const unsigned char* bytes = (const unsigned char*)data;
    while (size > 0) {
        DWORD chunk = size > (1u << 30) ? (1u << 30) : (DWORD)size, n = 0;
        if (!WriteFile((HANDLE)handle, bytes, chunk, &n, nullptr)) {
            DWORD code = GetLastError();
            *why = errorText(code);
            return code == ERROR_BROKEN_PIPE || code == ERROR_NO_DATA ? PLAT_READER_GONE
                                                                      : PLAT_WRITE_FAILED;
        }
        bytes += n;
        size -= n;
    }
    return PLAT_WRITTEN;
}

PlatProcess platSpawn(const std::vector<std::string>& args, PlatHandle in, PlatHandle out,
                      PlatFeed* feed, bool quiet, std::string* why)
{
    // The feed is a file the reader opens by the name in its arguments.
    (void)feed;
    std::string program = args[0];
    if (program.find_first_of("/\\") == std::string::npos)
        program = platFindProgram(program.c_str());
    if (program.empty()) {
        *why = args[0] + " is not on PATH";
        return PLAT_NONE;
    }
    std::wstring commandLine;
    for (const std::string& a : args)
        commandLine += (commandLine.empty() ? L"" : L" ") + quoted(widen(a));

    // The child's three standard handles, as inheritable copies made for this
    // start only (our own stay private); the null device where none is given.
    HANDLE given[3] = {(HANDLE)in, (HANDLE)out, quiet ? nullptr : GetStdHandle(STD_ERROR_HANDLE)};
    if (given[2] == INVALID_HANDLE_VALUE)
        given[2] = nullptr;   // no standard error (a program with no console)
    HANDLE std3[3];
    for (int i = 0; i < 3; i++) {
        HANDLE h = given[i] == (HANDLE)PLAT_NONE ? nullptr : given[i];
        std3[i] = h ? inheritable(h) : openNull(i == 0 ? GENERIC_READ : GENERIC_WRITE);
        if (std3[i] == INVALID_HANDLE_VALUE)
            std3[i] = nullptr;
    }

    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = std3[0];
    si.hStdOutput = std3[1];
    si.hStdError = std3[2];
    PROCESS_INFORMATION pi = {};
    // A hidden console of its own (CREATE_NO_WINDOW): no window flashes up
    // when we have no console, and a Ctrl-C or a close of ours never reaches
    // it: we close its input and it finishes the file.
    BOOL started = CreateProcessW(widen(program).c_str(), commandLine.data(), nullptr, nullptr,
                                  TRUE, CREATE_NO_WINDOW | CREATE_UNICODE_ENVIRONMENT, nullptr,
                                  nullptr, &si, &pi);
    DWORD code = GetLastError();
    for (HANDLE h : std3)
        if (h)
            CloseHandle(h);
    if (!started) {
        *why = errorText(code);
        return PLAT_NONE;
    }
    CloseHandle(pi.hThread);
    return (PlatProcess)pi.hProcess;
}

int platWait(PlatProcess child)
{
    DWORD code = (DWORD)-1;
    if (WaitForSingleObject((HANDLE)child, INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess((HANDLE)child, &code))
        code = (DWORD)-1;
    CloseHandle((HANDLE)child);
    return (int)code;
}

// The writer first runs to its end into the spill file (see process.h).
bool platFeedStart(PlatFeed* feed, const std::vector<std::string>& args, const std::string& spill)
{
    *feed = PlatFeed();
    HANDLE file = CreateFileW(widen(spill).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    std::string why;
    PlatProcess writer = platSpawn(args, PLAT_NONE, (PlatHandle)file, nullptr, true, &why);
    CloseHandle(file);
    if (writer == PLAT_NONE) {
        DeleteFileW(widen(spill).c_str());
        return false;
    }
    platWait(writer);   // what it wrote is the feed, whatever its status (as on Linux)
    feed->name = spill;
    feed->spill = spill;
    return true;
}

void platFeedEnd(PlatFeed* feed)
{
    if (!feed->spill.empty())
        DeleteFileW(widen(feed->spill).c_str());
    *feed = PlatFeed();
}

void platCatchStop()
{
    // Writes to a pipe whose reader has gone fail with ERROR_NO_DATA: Windows
    // has no signal for it to ignore.
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

bool platStopRequested() { return InterlockedCompareExchange(&stopRequested, 0, 0) != 0; }

void platEndByStop()
{
    ExitProcess(STATUS_CONTROL_C_EXIT);   // what Windows' own Ctrl-C handling ends with
}

const char PLAT_SEPARATORS[] = "/\\";

PlatPathKind platPathKind(const std::string& path)
{
    DWORD attributes = GetFileAttributesW(widen(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return PLAT_MISSING;
    return attributes & FILE_ATTRIBUTE_DIRECTORY ? PLAT_DIRECTORY : PLAT_OTHER;
}

FILE* platOpenFile(const std::string& path, const char* mode)
{
    return _wfopen(widen(path).c_str(), widen(mode).c_str());
}

bool platMakeDirectory(const std::string& path, std::string* why)
{
    return CreateDirectoryW(widen(path).c_str(), nullptr) ||
           GetLastError() == ERROR_ALREADY_EXISTS || failed(why);
}

void platRemoveFile(const std::string& path) { DeleteFileW(widen(path).c_str()); }

bool platRenameFile(const std::string& from, const std::string& to, std::string* why)
{
    return MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_REPLACE_EXISTING) ||
           failed(why);
}

bool platStderrIsTerminal()
{
    DWORD mode;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}
