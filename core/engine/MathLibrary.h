// The math-library layer. glibc has no error hook, so every library call that
// a node makes goes through a wrapper here: it clears errno and the
// floating-point flags, calls the function and turns what it finds into the
// notification that MathErrorHandler receives.
#pragma once

namespace NCalculatorText {

// What the library found: 1 domain, 2 singularity, 3 overflow, 4 underflow,
// 5 total and 6 partial loss of significance.
struct MathNotification {
    int Type = 0;
    const char* Name = "";
    double Arg1 = 0.0;
    double Arg2 = 0.0;
    double RetVal = 0.0;
};

// Turns a notification into a report in the scope of the calling node.
// Returns nonzero: the error is handled and the library's value stands.
int MathErrorHandler(const MathNotification& notification);

double LibSqrt(double x);
double LibExp(double x);
double LibLog(double x);
double LibLog10(double x);
double LibPow(double base, double exponent);
double LibSin(double x);
double LibCos(double x);
double LibTan(double x);
double LibAsin(double x);
double LibAcos(double x);
double LibAtan(double x);
double LibSinh(double x);
double LibCosh(double x);
double LibTanh(double x);
// Bessel functions of integer order; a report quotes the argument x.
double LibBesselJ(int order, double x);
double LibBesselY(int order, double x);

}  // namespace NCalculatorText
