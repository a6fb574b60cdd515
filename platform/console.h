// console: the program's standard streams and command line as the system
// hands them over, made ready before anything is read or printed.
//
// Linux: nothing to do. Windows: the show is a windowed program, so a double
// click opens no console beside it; started from a console (through
// vallup.com, which waits for it and returns its exit status, or directly), it
// writes its messages to that console and stops on its Ctrl-C like a console
// program. Its arguments are taken from the system as UTF-8, as every path in
// the program is.
#pragma once

void platConsoleStart(int* argc, char*** argv);
