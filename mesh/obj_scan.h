// obj_scan: the loader's tokenizer over a file held in memory.
//
// The OBJ reader is defined as formatted scanning of a C stream ("%s", "%d",
// "%f", literal characters, and line reads). These routines reproduce what
// the C library's scanner consumes and converts, character for character,
// so that reading from memory gives exactly the stream reader's results:
//   - white space is the C locale's: space, \t, \n, \v, \f, \r;
//   - a failed conversion keeps what the scanner could not push back (a lone
//     sign, the letters of a broken "nan"/"inf"), and leaves the rest;
//   - integers are read as a saturated long and narrowed to int;
//   - floats are collected by the scanner's grammar (decimal, hexadecimal,
//     inf, infinity, nan) and converted with correct rounding.
// Internal to mesh/; not part of the public interface.
#pragma once

#include <cstddef>

namespace objscan {

// A read position in [p, end).
struct Cursor {
    const char* p;
    const char* end;
};

inline bool isSpace(unsigned char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

inline bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

inline void skipSpace(Cursor& c)
{
    while (c.p < c.end && isSpace((unsigned char)*c.p))
        ++c.p;
}

// "%s": the next white-space delimited token, whatever its length.
// False at the end of the text.
inline bool readToken(Cursor& c, const char*& tok, size_t& len)
{
    skipSpace(c);
    if (c.p == c.end)
        return false;
    tok = c.p;
    while (c.p < c.end && !isSpace((unsigned char)*c.p))
        ++c.p;
    len = (size_t)(c.p - tok);
    return true;
}

// Moves past the end of the current line (its '\n' included), whatever its
// length.
void skipLine(Cursor& c);

// "%d": true when a number was converted into out (out untouched otherwise).
bool readInt(Cursor& c, int& out);

// A literal format character: consumed only when it matches.
inline bool matchChar(Cursor& c, char ch)
{
    if (c.p < c.end && *c.p == ch) {
        ++c.p;
        return true;
    }
    return false;
}

// "%f": true when a number was converted into out (out untouched otherwise).
bool readFloat(Cursor& c, float& out);

}  // namespace objscan
