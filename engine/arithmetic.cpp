// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/arithmetic.h"

#include <cmath>

#include "engine/failure.h"
#include "engine/number_text.h"

namespace suusiki {
namespace {

double Finite(double value) {
  if (!std::isfinite(value)) Fail(Failure::Overflow);
  return value;
}

double Power(double base, double exponent) {
  if (base == 0 && exponent < 0) Fail(Failure::DivisionByZero);
  if (base < 0 && exponent != std::trunc(exponent)) Fail(Failure::InvalidArgument);
  return Finite(std::pow(base, exponent));
}

double Divide(double a, double b) {
  if (b == 0) Fail(Failure::DivisionByZero);  // zero by zero too
  return Finite(a / b);
}

// x degrees in radians: x times Pi first, the product then divided by 180.
double Radians(double degrees) { return degrees * Pi() / 180; }

// An angle in degrees as a number of quarter turns and what is left of it,
// from -45 to 45: both exact, so that whole multiples of 90 degrees give their
// sines and cosines exactly (Sin(180) is 0, not 1.2e-16).
struct QuarterTurns {
  int quarters;  // 0 to 3
  double rest;   // in degrees
};

QuarterTurns Reduce(double degrees) {
  // fmod is exact, and so is the subtraction: the rest and the multiple of 90
  // lie within a factor of two of each other, or the multiple is 0.
  const double turn = std::fmod(degrees, 360);
  const double quarters = std::round(turn / 90);
  const int q = static_cast<int>(quarters) % 4;
  return {q < 0 ? q + 4 : q, turn - 90 * quarters};
}

double Sine(double degrees) {
  const QuarterTurns a = Reduce(degrees);
  const double s = std::sin(Radians(a.rest));
  const double c = std::cos(Radians(a.rest));
  const double values[] = {s, c, -s, -c};
  return values[a.quarters];
}

double Cosine(double degrees) {
  const QuarterTurns a = Reduce(degrees);
  const double s = std::sin(Radians(a.rest));
  const double c = std::cos(Radians(a.rest));
  const double values[] = {c, -s, -c, s};
  return values[a.quarters];
}

// At an odd multiple of 90 degrees the tangent has no value: an invalid argument.
double Tangent(double degrees) {
  const QuarterTurns a = Reduce(degrees);
  const double t = std::tan(Radians(a.rest));
  if (a.quarters % 2 == 0) return t;
  if (t == 0) Fail(Failure::InvalidArgument);
  return -1 / t;
}

}  // namespace

double ReadOrFail(TextView text) {
  const auto value = ReadNumber(text);
  if (!value) Fail(Failure::Overflow);
  return *value;
}

double Operate(char32_t op, double a, double b) {
  switch (op) {
    case U'^': return Power(a, b);
    case U'/': return Divide(a, b);
    case U'*': return Finite(a * b);
    case U'+': return Finite(a + b);
    case U'-': return Finite(a - b);
    default: break;
  }
  Fail(Failure::Other);
}

double ApplyFunction(Function function, double x) {
  switch (function) {
    case Function::Abs: return std::fabs(x);
    case Function::Atn: return std::atan(x) * 180 / Pi();
    case Function::Cos: return Cosine(x);
    case Function::Exp: return Finite(std::exp(x));
    case Function::Fix: return std::trunc(x);
    case Function::Int: return std::floor(x);
    case Function::Log:
      if (x <= 0) Fail(Failure::InvalidArgument);
      return std::log(x);
    case Function::Sin: return Sine(x);
    case Function::Sqr:
      if (x < 0) Fail(Failure::InvalidArgument);
      return std::sqrt(x);
    case Function::Tan: return Tangent(x);
  }
  Fail(Failure::Other);
}

}  // namespace suusiki
