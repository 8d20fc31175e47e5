// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/text.h"

#include <algorithm>

#include "engine/failure.h"

namespace suusiki {

Text FromUtf8(std::string_view utf8) {
  Text out;
  FromUtf8(utf8, out);
  return out;
}

void FromUtf8(std::string_view utf8, Text& out) {
  // Every character takes at least one byte: the text is no longer than the bytes.
  out.resize(utf8.size());
  char32_t* o = out.data();
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const auto* end = p + utf8.size();
  while (p < end) {
    const unsigned char lead = *p;
    if (lead < 0x80) {
      *o++ = lead;
      ++p;
      continue;
    }
    int extra = 0;
    char32_t cp = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
      extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
      *o++ = 0xFFFD;
      ++p;
      continue;
    }
    int taken = 1;
    bool ok = true;
    for (; taken <= extra; ++taken) {
      if (p + taken >= end || (p[taken] & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (p[taken] & 0x3F);
    }
    if (!ok || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      // One replacement for the malformed sequence, up to (not including) the
      // byte that broke it.
      *o++ = 0xFFFD;
      p += taken;
      continue;
    }
    *o++ = cp;
    p += taken;
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
}

std::string ToUtf8(TextView text) {
  std::string out;
  ToUtf8(text, out);
  return out;
}

void ToUtf8(TextView text, std::string& out) {
  // At most four bytes a character.
  out.resize(text.size() * 4);
  char* o = out.data();
  const auto byte = [](char32_t value) { return static_cast<char>(static_cast<unsigned char>(value)); };
  for (char32_t cp : text) {
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
    if (cp < 0x80) {
      *o++ = byte(cp);
    } else if (cp < 0x800) {
      *o++ = byte(0xC0 | (cp >> 6));
      *o++ = byte(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      *o++ = byte(0xE0 | (cp >> 12));
      *o++ = byte(0x80 | ((cp >> 6) & 0x3F));
      *o++ = byte(0x80 | (cp & 0x3F));
    } else {
      *o++ = byte(0xF0 | (cp >> 18));
      *o++ = byte(0x80 | ((cp >> 12) & 0x3F));
      *o++ = byte(0x80 | ((cp >> 6) & 0x3F));
      *o++ = byte(0x80 | (cp & 0x3F));
    }
  }
  out.resize(static_cast<std::size_t>(o - out.data()));
}

Text Ascii(std::string_view ascii) { return Text(ascii.begin(), ascii.end()); }

int InStr(TextView haystack, TextView needle, int start) {
  if (start < 1) Fail(Failure::InvalidArgument);
  const auto from = static_cast<std::size_t>(start - 1);
  if (from > haystack.size()) return 0;
  // The engine looks for one or two characters nearly always: a plain loop.
  if ((needle.size() == 1 || needle.size() == 2) && haystack.size() >= needle.size()) {
    const char32_t first = needle[0];
    const std::size_t last = haystack.size() - (needle.size() - 1);
    for (std::size_t i = from; i < last; ++i) {
      if (haystack[i] == first && (needle.size() == 1 || haystack[i + 1] == needle[1])) return static_cast<int>(i) + 1;
    }
    return 0;
  }
  const auto found = haystack.find(needle, from);
  return found == TextView::npos ? 0 : static_cast<int>(found) + 1;
}

Text Left(TextView text, long long count) {
  if (count < 0) Fail(Failure::InvalidArgument);
  return Text(text.substr(0, static_cast<std::size_t>(count)));
}

Text Right(TextView text, long long count) {
  if (count < 0) Fail(Failure::InvalidArgument);
  const auto n = static_cast<std::size_t>(count);
  return n >= text.size() ? Text(text) : Text(text.substr(text.size() - n));
}

Text Mid(TextView text, long long start) {
  if (start < 1) Fail(Failure::InvalidArgument);
  const auto from = static_cast<std::size_t>(start - 1);
  return from >= text.size() ? Text() : Text(text.substr(from));
}

Text Mid(TextView text, long long start, long long count) {
  if (start < 1 || count < 0) Fail(Failure::InvalidArgument);
  const auto from = static_cast<std::size_t>(start - 1);
  return from >= text.size() ? Text() : Text(text.substr(from, static_cast<std::size_t>(count)));
}

void ShowSigns(Text& text) {
  // Most texts hold neither: one look tells (nothing typed lies above Unicode).
  const auto first = std::find_if(text.begin(), text.end(), [](char32_t c) { return c >= kValueSign; });
  if (first == text.end()) return;
  bool marks = false;  // (the exponent marks lie above the value sign)
  for (auto c = first; c != text.end(); ++c) {
    *c = *c == kValueSign ? U'-' : *c;
    marks |= *c > kValueSign;
  }
  if (!marks) return;
  const char32_t found[] = {kExponentUp, kExponentDown};
  for (std::size_t i = 0; (i = text.find_first_of(found, i, 2)) != Text::npos; i += 2) {
    const char32_t sign = text[i] == kExponentUp ? U'+' : U'-';
    text[i] = U'E';
    text.insert(i + 1, 1, sign);
  }
}

Text WithShownSigns(TextView text) {
  Text shown(text);
  ShowSigns(shown);
  return shown;
}

}  // namespace suusiki
