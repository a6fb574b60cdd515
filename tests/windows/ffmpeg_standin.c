/* A stand-in ffmpeg.exe for tests/windows/capture.sh only (never shipped):
 * Debian's ffmpeg is a Linux program a Windows process under Wine cannot run
 * with pipes. It does what --capture asks of ffmpeg with plain bytes and
 * appends what it got to calls.txt beside itself, one line a call:
 * its arguments joined by '|', then for the encoder " stdin=N sound=M".
 *   ... -f null -        the track probe: status 0
 *   ... pipe:1           the decoder: 2 s of 16-bit stereo samples
 *   ... -c copy ...      the cut: copies its input
 *   else                 the encoder: reads all its standard input and the
 *                        s16le input, writes the last argument.
 * STANDIN_STOP_AFTER=N: the encoder stops reading after N bytes, status 1. */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static char* utf8(const wchar_t* w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w, -1, NULL, 0, NULL, NULL);
    char* s = malloc(n);
    WideCharToMultiByte(CP_UTF8, 0, w, -1, s, n, NULL, NULL);
    return s;
}

static long long drain(HANDLE h, long long limit)
{
    static char buffer[1 << 16];
    long long total = 0;
    DWORD n;
    while (total < limit && ReadFile(h, buffer, sizeof buffer, &n, NULL) && n > 0)
        total += n;
    return total;
}

int main(void)
{
    int argc;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    wchar_t log[MAX_PATH];
    GetModuleFileNameW(NULL, log, MAX_PATH);
    wcscpy(wcsrchr(log, L'\\') + 1, L"calls.txt");
    FILE* calls = _wfopen(log, L"ab");

    int probe = 0, decoder = 0, cut = 0;
    const wchar_t *sound = NULL, *input = NULL;
    for (int i = 1; i < argc; i++) {
        fprintf(calls, "%s%s", i > 1 ? "|" : "", utf8(argv[i]));
        probe |= !wcscmp(argv[i], L"null");
        cut |= !wcscmp(argv[i], L"copy");
        if (!input && i + 1 < argc && !wcscmp(argv[i], L"-i"))
            input = argv[i + 1];
        if (i + 6 < argc && !wcscmp(argv[i], L"s16le") && !wcscmp(argv[i + 5], L"-i"))
            sound = argv[i + 6];
    }
    decoder = !wcscmp(argv[argc - 1], L"pipe:1");
    int status = 0;
    if (decoder) {
        static short samples[2 * 44100 * 2];
        for (int i = 0; i < 2 * 44100 * 2; i++)
            samples[i] = (short)(i * 7);
        DWORD n;
        WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), samples, sizeof samples, &n, NULL);
    } else if (cut) {
        CopyFileW(input, argv[argc - 1], FALSE);
    } else if (!probe) {
        const char* stop = getenv("STANDIN_STOP_AFTER");
        long long limit = stop ? atoll(stop) : -1;
        long long in = drain(GetStdHandle(STD_INPUT_HANDLE), limit < 0 ? LLONG_MAX : limit);
        long long got = -1;
        if (sound) {
            HANDLE h = CreateFileW(sound, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                   OPEN_EXISTING, 0, NULL);
            got = h == INVALID_HANDLE_VALUE ? -2 : drain(h, LLONG_MAX);
            CloseHandle(h);
        }
        fprintf(calls, " stdin=%lld sound=%lld", in, got);
        if (stop) {
            status = 1;
        } else {
            FILE* out = _wfopen(argv[argc - 1], L"wb");
            fputs("stand-in video\n", out);
            fclose(out);
        }
    }
    fputs("\n", calls);
    fclose(calls);
    return status;
}
