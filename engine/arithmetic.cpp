// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/arithmetic.h"

#include <cmath>

#include "engine/failure.h"
#include "engine/number_text.h"

namespace suusiki {
namespace {

double Finite(double value) {
  if (!std::isfinite(value)) Fail(Failure::Other);
  return value;
}

double Power(double base, double exponent) {
  if (base == 0 && exponent < 0) Fail(Failure::DivisionByZero);
  if (base < 0 && exponent != std::trunc(exponent)) Fail(Failure::InvalidArgument);
  return Finite(std::pow(base, exponent));
}

double Divide(double a, double b) {
  if (b == 0) Fail(a == 0 ? Failure::Other : Failure::DivisionByZero);
  return Finite(a / b);
}

// x degrees in radians: x times Pi first, the product then divided by 180.
double Radians(double degrees) { return Finite(degrees * Pi()) / 180; }

}  // namespace

double ReadOrFail(TextView text) {
  const auto value = ReadNumber(text);
  if (!value) Fail(Failure::Other);
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
    case Function::Cos: return Finite(std::cos(Radians(x)));
    case Function::Exp: return Finite(std::exp(x));
    case Function::Fix: return std::trunc(x);
    case Function::Int: return std::floor(x);
    case Function::Log:
      if (x <= 0) Fail(Failure::InvalidArgument);
      return std::log(x);
    case Function::Sin: return Finite(std::sin(Radians(x)));
    case Function::Sqr:
      if (x < 0) Fail(Failure::InvalidArgument);
      return std::sqrt(x);
    case Function::Tan: return Finite(std::tan(Radians(x)));
  }
  Fail(Failure::Other);
}

}  // namespace suusiki
