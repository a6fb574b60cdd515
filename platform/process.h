// process: helper programs (ffmpeg) started with pipes, the stop requests
// that end a long run early, and the few file operations around them.
//
// A child is started by name (looked up on PATH) with the given standard
// input and output; its standard error is ours unless it is quiet. It runs
// apart from our terminal (Linux: a process group of its own; Windows: a
// hidden console of its own), so a Ctrl-C there reaches only us: we then
// close its input and let it finish. Its status is its exit code (Linux:
// 128 + signal when a signal ended it; Windows: an NTSTATUS such as
// 0xC000013A when Windows ended it).
//
// A feed hands what one program writes to a second program as an extra input
// it opens by name (ffmpeg's second -i). Linux: a pipe, both programs run at
// once and the reader has it as its descriptor 3 ("pipe:3"). Windows: a child
// gets no descriptor past its standard three (only through the C runtime's
// undocumented handover, which a program built on another runtime ignores),
// so the writer runs to its end first into a spill file, which the reader
// opens by name: a few seconds of decoding before the start, but no thread
// and nothing that depends on how the reader was built.
//
// Paths and arguments are UTF-8 (Windows: converted to UTF-16 for its calls).
// Failures come back as false, with the system's reason in *why.
// Call everything from one thread, except platWriteAll.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

typedef intptr_t PlatHandle;    // a pipe end or file: a descriptor (Linux) or HANDLE (Windows)
typedef intptr_t PlatProcess;   // a child: its pid (Linux) or process HANDLE (Windows)
const intptr_t PLAT_NONE = -1;  // no handle, no child

// The path of `name` as a program on PATH ("" when there is none). Windows:
// PATH is split at ';' and the extensions of PATHEXT are tried after the name.
std::string platFindProgram(const char* name);

// A pipe whose ends are ours alone (children get them only through
// platSpawn), with a buffer of about `bufferBytes` (0: the system's default).
bool platPipe(PlatHandle* readEnd, PlatHandle* writeEnd, size_t bufferBytes, std::string* why);
void platClose(PlatHandle handle);

// Writes all of it, going on after interruptions. A reader that has gone
// away is PLAT_READER_GONE, never the death of this process.
enum PlatWriteResult { PLAT_WRITTEN, PLAT_READER_GONE, PLAT_WRITE_FAILED };
PlatWriteResult platWriteAll(PlatHandle handle, const void* data, size_t size, std::string* why);

struct PlatFeed {
    std::string name;                  // what the reader opens; "" while there is no feed
    PlatHandle readEnd = PLAT_NONE;    // Linux: the pipe's end, until a reader has it
    PlatProcess writer = PLAT_NONE;    // Linux: the writer, still running
    std::string spill;                 // Windows: the file, removed by platFeedEnd
};

// Starts the program `args` (its standard input the null device, its standard
// error quiet) writing to a feed; `spill` is the file a feed may need (Windows).
// False, with no feed, when it cannot start.
bool platFeedStart(PlatFeed* feed, const std::vector<std::string>& args, const std::string& spill);
// After the reader has ended (or did not start): waits for the writer and
// removes the spill file.
void platFeedEnd(PlatFeed* feed);

// Starts args[0] with these as its standard input and output (PLAT_NONE: the
// null device) and, when `feed` is given, that feed as its extra input (the
// feed's end here is then closed: the reader owns it). Returns the child, or
// PLAT_NONE with *why.
PlatProcess platSpawn(const std::vector<std::string>& args, PlatHandle in, PlatHandle out,
                      PlatFeed* feed, bool quiet, std::string* why);
// Waits for a child to end; its status (see above), -1 when it cannot be had.
int platWait(PlatProcess child);

// From now on a stop request (Ctrl-C, a polite kill: SIGINT, SIGTERM; Windows:
// Ctrl-C, Ctrl-Break, closing the console) no longer ends the program but is
// noted for platStopRequested, and a reader that goes away or a file size
// limit shows as a write error (Linux: SIGPIPE, SIGXFSZ ignored).
void platCatchStop();
bool platStopRequested();
// Ends the program as the stop request would have (Linux: by that signal;
// Windows: with STATUS_CONTROL_C_EXIT), so a calling script stops too.
[[noreturn]] void platEndByStop();

// Files and directories by UTF-8 path.
extern const char PLAT_SEPARATORS[];   // what ends a folder's name in a path: "/" or "/\\"
enum PlatPathKind { PLAT_MISSING, PLAT_DIRECTORY, PLAT_OTHER };
PlatPathKind platPathKind(const std::string& path);
FILE* platOpenFile(const std::string& path, const char* mode);   // fopen's modes; errno
bool platMakeDirectory(const std::string& path, std::string* why);   // true if it exists
void platRemoveFile(const std::string& path);                    // if it is there
bool platRenameFile(const std::string& from, const std::string& to, std::string* why);   // replaces
bool platStderrIsTerminal();
