#include "engine/MathLibrary.h"

#include "engine/Diagnostics.h"

#include <cerrno>
#include <cfenv>
#include <cmath>

namespace NCalculatorText {

namespace {

// Classifies what the last library call left in errno and the exception
// flags. glibc sets errno for domain errors, poles, overflows and underflows
// to zero; a subnormal result raises the underflow flag alone and is not an
// error.
int Classify(int error, int flags)
{
    if (error == EDOM)
        return 1;
    if (error == ERANGE) {
        if (flags & FE_DIVBYZERO)
            return 2;
        if (flags & FE_OVERFLOW)
            return 3;
        if (flags & FE_UNDERFLOW)
            return 4;
        return 0;
    }
    if (flags & FE_INVALID)
        return 1;
    if (flags & FE_DIVBYZERO)
        return 2;
    return 0;
}

template <typename Function> double Call(const char* name, double arg1, double arg2, Function function)
{
    // Clearing the exception flags is far dearer than testing them, and they
    // stay clear from one call to the next unless something raised them.
    constexpr int ErrorFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW | FE_UNDERFLOW;
    if (std::fetestexcept(ErrorFlags) != 0)
        std::feclearexcept(ErrorFlags);
    errno = 0;
    const double result = function();
    const int error = errno;
    const int flags = std::fetestexcept(ErrorFlags);
    const int type = Classify(error, flags);
    if (type != 0)
        MathErrorHandler({type, name, arg1, arg2, result});
    return result;
}

double Call1(const char* name, double x, double (*function)(double))
{
    return Call(name, x, 0.0, [&] { return function(x); });
}

}  // namespace

int MathErrorHandler(const MathNotification& notification)
{
    switch (notification.Type) {
    case 1:
        Report(Domain, notification.Arg1);
        break;
    case 2:
        Report(Singularity, notification.Arg1);
        break;
    case 3:
        Report(Overflow, notification.RetVal);
        break;
    case 4:
        Report(Underflow, notification.RetVal);
        break;
    case 5:
        Report(TotalLoss, notification.RetVal);
        break;
    case 6:
        Report(PartialLoss, notification.RetVal);
        break;
    default:
        break;
    }
    return 1;
}

double LibSqrt(double x)
{
    return Call1("sqrt", x, [](double v) { return std::sqrt(v); });
}
double LibExp(double x)
{
    return Call1("exp", x, [](double v) { return std::exp(v); });
}
double LibLog(double x)
{
    return Call1("log", x, [](double v) { return std::log(v); });
}
double LibLog10(double x)
{
    return Call1("log10", x, [](double v) { return std::log10(v); });
}
double LibSin(double x)
{
    return Call1("sin", x, [](double v) { return std::sin(v); });
}
double LibCos(double x)
{
    return Call1("cos", x, [](double v) { return std::cos(v); });
}
double LibTan(double x)
{
    return Call1("tan", x, [](double v) { return std::tan(v); });
}
double LibAsin(double x)
{
    return Call1("asin", x, [](double v) { return std::asin(v); });
}
double LibAcos(double x)
{
    return Call1("acos", x, [](double v) { return std::acos(v); });
}
double LibAtan(double x)
{
    return Call1("atan", x, [](double v) { return std::atan(v); });
}
double LibSinh(double x)
{
    return Call1("sinh", x, [](double v) { return std::sinh(v); });
}
double LibCosh(double x)
{
    return Call1("cosh", x, [](double v) { return std::cosh(v); });
}
double LibTanh(double x)
{
    return Call1("tanh", x, [](double v) { return std::tanh(v); });
}

double LibPow(double base, double exponent)
{
    return Call("pow", base, exponent, [&] { return std::pow(base, exponent); });
}

double LibBesselJ(int order, double x)
{
    if (order == 0)
        return Call1("j0", x, [](double v) { return ::j0(v); });
    if (order == 1)
        return Call1("j1", x, [](double v) { return ::j1(v); });
    return Call("jn", x, 0.0, [&] { return ::jn(order, x); });
}

double LibBesselY(int order, double x)
{
    if (order == 0)
        return Call1("y0", x, [](double v) { return ::y0(v); });
    if (order == 1)
        return Call1("y1", x, [](double v) { return ::y1(v); });
    return Call("yn", x, 0.0, [&] { return ::yn(order, x); });
}

}  // namespace NCalculatorText
