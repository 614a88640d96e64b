#include "core/engine/MathLibrary.h"

#include "core/engine/Cancel.h"
#include "core/engine/Diagnostics.h"

#include <cerrno>
#include <cfenv>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <limits>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

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

constexpr int ErrorFlags = FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW | FE_UNDERFLOW;

// A library call's value with the errno and exception flags it left.
struct Outcome {
    double Result = 0.0;
    int Error = 0;
    int Flags = 0;
};

template <typename Function> Outcome Measure(Function function)
{
    // Clearing the exception flags is far dearer than testing them, and they
    // stay clear from one call to the next unless something raised them.
    if (std::fetestexcept(ErrorFlags) != 0)
        std::feclearexcept(ErrorFlags);
    errno = 0;
    Outcome outcome;
    outcome.Result = function();
    outcome.Error = errno;
    outcome.Flags = std::fetestexcept(ErrorFlags);
    return outcome;
}

double Notify(const char* name, double arg1, double arg2, const Outcome& outcome)
{
    const int type = Classify(outcome.Error, outcome.Flags);
    if (type != 0)
        MathErrorHandler({type, name, arg1, arg2, outcome.Result});
    return outcome.Result;
}

template <typename Function> double Call(const char* name, double arg1, double arg2, Function function)
{
    return Notify(name, arg1, arg2, Measure(function));
}

// A call that may take long runs on a thread of its own, which measures it
// (errno and the flags belong to a thread), while the calculation waits for
// it and looks at the cancel request. A cancelled calculation stops waiting
// and leaves the call to end alone: it touches nothing but this state.
struct LongCall {
    std::mutex Mutex;
    std::condition_variable Finished;
    bool Done = false;
    Outcome Measured;
};

template <typename Function> double CallAtLength(const char* name, double arg1, Function function)
{
    auto call = std::make_shared<LongCall>();
    try {
        std::thread([call, function] {
            const Outcome measured = Measure(function);
            const std::lock_guard lock(call->Mutex);
            call->Measured = measured;
            call->Done = true;
            call->Finished.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        return Call(name, arg1, 0.0, function);  // no thread to be had: wait here
    }
    std::unique_lock lock(call->Mutex);
    while (!call->Finished.wait_for(lock, std::chrono::milliseconds(10), [&call] { return call->Done; })) {
        if (CancelledNow())
            return std::numeric_limits<double>::quiet_NaN();
    }
    return Notify(name, arg1, 0.0, call->Measured);
}

// The library's Bessel functions of order n take about n steps (17 ns each
// here): from this order on a call takes milliseconds, and at two billion
// half a minute.
constexpr int LongBesselOrder = 100000;

bool IsLongOrder(int order)
{
    return order >= LongBesselOrder || order <= -LongBesselOrder;
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
    if (IsLongOrder(order))
        return CallAtLength("jn", x, [order, x] { return ::jn(order, x); });
    return Call("jn", x, 0.0, [&] { return ::jn(order, x); });
}

double LibBesselY(int order, double x)
{
    if (order == 0)
        return Call1("y0", x, [](double v) { return ::y0(v); });
    if (order == 1)
        return Call1("y1", x, [](double v) { return ::y1(v); });
    if (IsLongOrder(order))
        return CallAtLength("yn", x, [order, x] { return ::yn(order, x); });
    return Call("yn", x, 0.0, [&] { return ::yn(order, x); });
}

}  // namespace NCalculatorText
