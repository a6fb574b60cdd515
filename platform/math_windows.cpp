// Sine and cosine for Windows, in place of the C runtime's.
//
// mingw-w64's sin and cos are the x87 instructions, whose reduction by pi/2
// uses a 66-bit pi: near multiples of pi/2 they lose most of their digits
// (sin(pi) comes out as 1.2246e-16 with 12 good bits). The show's geometry is
// computed in double and used as float, and GLU's sphere and cylinder place
// vertices with these: a point of the tube off by a unit in the last place of
// float moves an edge by a pixel. These are accurate to within a unit in the
// last place of double everywhere the show reaches (reduction by pi/2 in
// three parts, exact for |x| below 2^20 pi/2), as Linux's C library is, so
// both systems draw the same pixels. Linked before the runtime, they replace
// its sin, cos and sincos (which the compiler makes of a sin and a cos of the
// same angle) for the whole program; built with -fno-builtin. The runtime's
// float and long double sincos live beside its double one, so they are
// replaced too (through the same double functions, the x87's for long double).
#include <cstdint>
#include <cstring>

namespace {

// pi/2 in three parts of 33 bits each, and the remainders after each, so that
// n times a part is exact for n below 2^20.
const double INV_PIO2 = 6.36619772367581382433e-01;
const double PIO2_1 = 1.57079632673412561417e+00, PIO2_1T = 6.07710050650619224932e-11;
const double PIO2_2 = 6.07710050630396597660e-11, PIO2_2T = 2.02226624879595063154e-21;
const double PIO2_3 = 2.02226624871116645580e-21, PIO2_3T = 8.47842766036889956997e-32;
const double PIO4 = 7.85398163397448278999e-01;

// Polynomials for sin and cos on [-pi/4, pi/4] (minimax, error below 2^-58).
const double S1 = -1.66666666666666324348e-01, S2 = 8.33333333332248946124e-03,
             S3 = -1.98412698298579493134e-04, S4 = 2.75573137070700676789e-06,
             S5 = -2.50507602534068634195e-08, S6 = 1.58969099521155010221e-10;
const double C1 = 4.16666666666666019037e-02, C2 = -1.38888888888741095749e-03,
             C3 = 2.48015872894767294178e-05, C4 = -2.75573143513906633035e-07,
             C5 = 2.08757232129817482790e-09, C6 = -1.13596475577881948265e-11;

int exponent(double x)
{
    uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return (int)((bits >> 52) & 0x7ff);
}

// sin(x + y) for |x + y| <= pi/4, y the tail of a reduced argument.
double kernelSin(double x, double y)
{
    double z = x * x, v = z * x;
    double r = S2 + z * (S3 + z * (S4 + z * (S5 + z * S6)));
    return x - ((z * (0.5 * y - v * r) - y) - v * S1);
}

// cos(x + y) for |x + y| <= pi/4.
double kernelCos(double x, double y)
{
    double z = x * x;
    double r = z * (C1 + z * (C2 + z * (C3 + z * (C4 + z * (C5 + z * C6)))));
    double hz = 0.5 * z, w = 1.0 - hz;
    return w + (((1.0 - w) - hz) + (z * r - x * y));
}

// x = n pi/2 + (y0 + y1), |y0 + y1| <= pi/4; returns n mod 4, or -1 when x is
// too large for this reduction (never in the show: the caller falls back).
int reduce(double x, double* y0, double* y1)
{
    double fn = __builtin_nearbyint(x * INV_PIO2);
    if (fn > 1048576.0 || fn < -1048576.0)
        return -1;
    double r = x - fn * PIO2_1;
    double w = fn * PIO2_1T;
    *y0 = r - w;
    int j = exponent(x);
    if (j - exponent(*y0) > 16) {   // cancellation: take the next 33 bits
        double t = r;
        w = fn * PIO2_2;
        r = t - w;
        w = fn * PIO2_2T - ((t - r) - w);
        *y0 = r - w;
        if (j - exponent(*y0) > 49) {   // and the last
            t = r;
            w = fn * PIO2_3;
            r = t - w;
            w = fn * PIO2_3T - ((t - r) - w);
            *y0 = r - w;
        }
    }
    *y1 = (r - *y0) - w;
    return (int)((int64_t)fn & 3);
}

// Both at once: the quadrant picks which kernel gives which, and the signs.
void sinCos(double x, double* s, double* c)
{
    if (x != x || x - x != 0) {   // NaN or infinity
        *s = *c = x - x;
        return;
    }
    if (x > -PIO4 && x < PIO4) {
        *s = exponent(x) < 0x3e4 ? x : kernelSin(x, 0);   // |x| < 2^-27: sin x = x
        *c = kernelCos(x, 0);
        return;
    }
    double y0, y1;
    int n = reduce(x, &y0, &y1);
    if (n < 0) {   // beyond 2^20 pi/2: the x87's own, as the runtime would
        long double lx = x;
        *s = (double)__builtin_sinl(lx);
        *c = (double)__builtin_cosl(lx);
        return;
    }
    double sn = kernelSin(y0, y1), cs = kernelCos(y0, y1);
    switch (n) {
    case 0: *s = sn; *c = cs; break;
    case 1: *s = cs; *c = -sn; break;
    case 2: *s = -sn; *c = -cs; break;
    default: *s = -cs; *c = sn; break;
    }
}

}  // namespace

#ifndef VALLUP_MATH_NAMES   // the comparison test builds these under other names
#define VALLUP_MATH_NAMES 1
#define vallupSin sin
#define vallupCos cos
#define vallupSinCos sincos
#define vallupSinCosF sincosf
#define vallupSinCosL sincosl
#endif

extern "C" double vallupSin(double x)
{
    double s, c;
    sinCos(x, &s, &c);
    return s;
}

extern "C" double vallupCos(double x)
{
    double s, c;
    sinCos(x, &s, &c);
    return c;
}

extern "C" void vallupSinCos(double x, double* s, double* c)
{
    sinCos(x, s, c);
}

extern "C" void vallupSinCosF(float x, float* s, float* c)
{
    double sd, cd;
    sinCos(x, &sd, &cd);
    *s = (float)sd;
    *c = (float)cd;
}

extern "C" void vallupSinCosL(long double x, long double* s, long double* c)
{
    *s = __builtin_sinl(x);
    *c = __builtin_cosl(x);
}
