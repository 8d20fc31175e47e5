// SPDX-License-Identifier: GPL-3.0-or-later
#include "mainwin/formula_box.h"

#include <algorithm>

namespace suusiki {
namespace {

std::size_t Clamp(int offset, TextView text) {
  return static_cast<std::size_t>(std::clamp(offset, 0, static_cast<int>(text.size())));
}

}  // namespace

BoxEdit InsertAtCaret(TextView text, int caret, TextView insertion) {
  const std::size_t at = Clamp(caret, text);
  Text out(text.substr(0, at));
  out.append(insertion);
  out.append(text.substr(at));
  return {std::move(out), static_cast<int>(at + insertion.size())};
}

BoxEdit DeleteBeforeCaret(TextView text, int caret) {
  const std::size_t at = Clamp(caret, text);
  if (at == 0) return {Text(text), 0};
  Text out(text.substr(0, at - 1));
  out.append(text.substr(at));
  return {std::move(out), static_cast<int>(at - 1)};
}

BoxEdit DeleteAfterCaret(TextView text, int caret, int selectionLength) {
  const std::size_t at = Clamp(caret, text);
  const std::size_t count = std::max(selectionLength, 1);
  Text out(text.substr(0, at));
  if (at < text.size()) out.append(text.substr(std::min(text.size(), at + count)));
  return {std::move(out), static_cast<int>(at)};
}

}  // namespace suusiki
