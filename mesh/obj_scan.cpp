// obj_scan: see obj_scan.h.
#include "mesh/obj_scan.h"

#include <charconv>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#ifndef __cpp_lib_to_chars
#include <clocale>
#include <string>
#endif

namespace objscan {

bool readIntSlow(Cursor& c, int& out)
{
    skipSpace(c);
    if (c.p == c.end)
        return false;
    bool negative = false;
    if (*c.p == '-' || *c.p == '+') {
        negative = *c.p == '-';
        ++c.p;   // a sign without digits stays consumed, as with the stream
        if (c.p == c.end)
            return false;
    }
    if (!isDigit((unsigned char)*c.p))
        return false;

    // Saturate at 2^63 + 1 (past every long) so huge numbers cannot wrap.
    const uint64_t cap = (uint64_t)1 << 63;
    uint64_t v = 0;
    while (c.p < c.end && isDigit((unsigned char)*c.p)) {
        if (v <= cap)
            v = v * 10 + (uint64_t)(*c.p - '0');
        ++c.p;
    }
    // strtol's result, then the int store's narrowing to the low 32 bits.
    uint64_t asLong;
    if (!negative)
        asLong = v > (uint64_t)LLONG_MAX ? (uint64_t)LLONG_MAX : v;
    else
        asLong = v > cap ? cap : (uint64_t)0 - v;   // LLONG_MIN is 2^63 unsigned
    out = (int)(uint32_t)asLong;
    return true;
}

static inline char lower(char ch)
{
    return (ch >= 'A' && ch <= 'Z') ? (char)(ch - 'A' + 'a') : ch;
}

// Consumes the next character and reports whether it is `want` (case
// ignored). The scanner keeps a mismatching letter, so this does too.
static inline bool takeLetter(Cursor& c, char want)
{
    if (c.p == c.end)
        return false;
    return lower(*c.p++) == want;
}

// strtof over [from, to), for the rare spellings (hexadecimal, inf, nan) and
// for values out of float range, where strtof's overflow and underflow
// results are the reference.
static float slowConvert(const char* from, const char* to)
{
    size_t n = (size_t)(to - from);
    char small[128];
    char* buf = n < sizeof small ? small : (char*)std::malloc(n + 1);
    if (!buf)
        return 0.0f;
    std::memcpy(buf, from, n);
    buf[n] = '\0';
    float v = std::strtof(buf, nullptr);
    if (buf != small)
        std::free(buf);
    return v;
}

#ifdef __cpp_lib_to_chars
// A decimal number the scanner collected in [from, to): digits with at most
// one point, perhaps an exponent (a bare "e" or "e-" at its end is left
// unread, as the scanner's conversion leaves it). from_chars rounds
// correctly and ignores the locale; out of float's range strtof decides.
static float decimalConvert(const char* from, const char* to)
{
    float v = 0.0f;
    std::from_chars_result r = std::from_chars(from, to, v, std::chars_format::general);
    if (r.ec != std::errc())
        v = slowConvert(from, to);
    return v;
}
#else
// The same for a C++ library without floating-point from_chars (the web
// build's libc++): strtof on a bounded copy, which reads the same syntax and
// rounds correctly too, out of range included. Only the point depends on
// the locale, so the copy writes it as the locale's radix character (always
// "." in the web's C library; a comma in a German locale elsewhere).
static float decimalConvert(const char* from, const char* to)
{
    const char* radix = std::localeconv()->decimal_point;
    if (radix[0] == '.' && radix[1] == '\0')
        return slowConvert(from, to);
    size_t n = (size_t)(to - from), r = std::strlen(radix);
    std::string text;
    text.reserve(n + r);
    for (const char* p = from; p < to; p++) {
        if (*p == '.')
            text.append(radix, r);
        else
            text += *p;
    }
    return std::strtof(text.c_str(), nullptr);
}
#endif

bool readFloatSlow(Cursor& c, float& out)
{
    skipSpace(c);
    if (c.p == c.end)
        return false;
    const char* start = c.p;
    bool negative = false;
    if (*c.p == '-' || *c.p == '+') {
        negative = *c.p == '-';
        ++c.p;
        if (c.p == c.end)
            return false;
    }
    const char* body = c.p;

    char first = lower(*c.p);
    if (first == 'n') {
        ++c.p;
        if (!takeLetter(c, 'a') || !takeLetter(c, 'n'))
            return false;
        out = slowConvert(start, c.p);
        return true;
    }
    if (first == 'i') {
        ++c.p;
        if (!takeLetter(c, 'n') || !takeLetter(c, 'f'))
            return false;
        if (c.p < c.end && lower(*c.p) == 'i') {
            ++c.p;
            if (!takeLetter(c, 'n') || !takeLetter(c, 'i') || !takeLetter(c, 't') ||
                !takeLetter(c, 'y'))
                return false;
        }
        out = slowConvert(start, c.p);
        return true;
    }

    bool hex = false, gotDigit = false, gotDot = false, gotE = false;
    char expChar = 'e';
    if (*c.p == '0') {
        ++c.p;
        if (c.p < c.end && lower(*c.p) == 'x') {
            ++c.p;
            hex = true;
            expChar = 'p';
        } else {
            gotDigit = true;
        }
    }
    while (c.p < c.end) {
        char ch = *c.p;
        if (isDigit((unsigned char)ch)) {
            gotDigit = true;
        } else if (!gotE && hex &&
                   ((ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F'))) {
            gotDigit = true;
        } else if (gotE && lower(c.p[-1]) == expChar && (ch == '-' || ch == '+')) {
            // exponent sign
        } else if (gotDigit && !gotE && lower(ch) == expChar) {
            gotE = gotDot = true;
        } else if (!gotDot && ch == '.') {
            gotDot = true;
        } else {
            break;
        }
        ++c.p;
    }
    if (hex) {
        if (c.p - body == 2)   // "0x" alone is not a number
            return false;
        out = slowConvert(start, c.p);
        return true;
    }
    if (!gotDigit)   // nothing but a sign and a point
        return false;

    float v = decimalConvert(body, c.p);   // body has no sign
    out = negative ? -v : v;
    return true;
}

}  // namespace objscan
