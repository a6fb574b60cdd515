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
#include <cstdint>
#include <cstring>

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
// length. Lines are short, so eight bytes at a time inline beats a library
// call.
inline void skipLine(Cursor& c)
{
    const uint64_t ones = UINT64_C(0x0101010101010101), highs = UINT64_C(0x8080808080808080);
    const uint64_t newlines = ones * '\n';
    const char* p = c.p;
    while (c.end - p >= 8) {
        uint64_t w;
        std::memcpy(&w, p, 8);
        w ^= newlines;                           // a '\n' byte becomes 0
        uint64_t zero = (w - ones) & ~w & highs;   // high bit of the first 0 byte set
        if (zero) {
            c.p = p + (__builtin_ctzll(zero) >> 3) + 1;   // little-endian byte order
            return;
        }
        p += 8;
    }
    while (p < c.end && *p != '\n')
        p++;
    c.p = p < c.end ? p + 1 : p;
}

// "%d": true when a number was converted into out (out untouched otherwise).
bool readIntSlow(Cursor& c, int& out);
inline bool readInt(Cursor& c, int& out)
{
    const char* p = c.p;
    while (p < c.end && isSpace((unsigned char)*p))
        p++;
    c.p = p;   // white space is consumed whatever follows
    if (p == c.end)
        return false;
    unsigned char first = (unsigned char)*p;
    if (!isDigit(first))
        return (first == '-' || first == '+') ? readIntSlow(c, out) : false;
    // Fast path: at most nine digits, so no saturation.
    {
        unsigned v = (unsigned)(*p++ - '0');
        int n = 1;
        while (n < 9 && p < c.end && isDigit((unsigned char)*p)) {
            v = v * 10 + (unsigned)(*p++ - '0');
            n++;
        }
        if (p == c.end || !isDigit((unsigned char)*p)) {
            c.p = p;
            out = (int)v;
            return true;
        }
    }
    return readIntSlow(c, out);
}

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
bool readFloatSlow(Cursor& c, float& out);
inline bool readFloat(Cursor& c, float& out)
{
    // Fast path for the common "[-]digits[.digits]" with at most 15 digits
    // in all. With at most 7 digits the digits and the power of ten are
    // exact floats and one float division rounds correctly. Otherwise the
    // double quotient is correctly rounded, and rounding it to float gives
    // the correctly rounded float unless it lies within one double step of
    // a point halfway between two floats; those few take the full scanner,
    // as does anything else (exponents, longer mantissas, inf, nan, hex, a
    // sign '+', the end of the text near).
    static const float POW10F[8] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    static const double POW10D[16] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = c.p;
    if (c.end - p < 40)
        return readFloatSlow(c, out);
    if (*p == ' ')
        p++;
    bool negative = *p == '-';
    if (negative)
        p++;
    uint64_t m = 0;
    int n = 0;
    while (isDigit((unsigned char)*p) && n < 16) {
        m = m * 10 + (uint64_t)(*p++ - '0');
        n++;
    }
    if (n == 0 || n == 16)
        return readFloatSlow(c, out);
    int frac = 0;
    if (*p == '.') {
        p++;
        while (isDigit((unsigned char)*p) && n < 16) {
            m = m * 10 + (uint64_t)(*p++ - '0');
            n++;
            frac++;
        }
    }
    char next = *p;
    if (n == 16 || isDigit((unsigned char)next) || next == '.' || next == 'e' || next == 'E' ||
        next == 'x' || next == 'X')
        return readFloatSlow(c, out);
    float v;
    if (n <= 7) {
        v = (float)m / POW10F[frac];
    } else {
        double q = (double)m / POW10D[frac];
        uint64_t bits;
        std::memcpy(&bits, &q, sizeof bits);
        uint64_t low = bits & ((UINT64_C(1) << 29) - 1);   // below float precision
        uint64_t half = UINT64_C(1) << 28;
        if (low + 1 >= half && low <= half + 1)
            return readFloatSlow(c, out);
        v = (float)q;
    }
    out = negative ? -v : v;
    c.p = p;
    return true;
}

}  // namespace objscan
