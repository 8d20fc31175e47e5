// SPDX-License-Identifier: GPL-3.0-or-later
// Character-indexed text for the engine.
//
// The engine rewrites formula text; positions count characters, and a
// full-width character counts as one. Inside the engine every text is a
// std::u32string (one element per character); UTF-8 is converted at the edges.
//
// The cutting helpers mirror the classic BASIC string functions the rewriting
// rules are written in: positions are 1-based, a search gives 0 when the text is
// absent, and a negative length or a start before position 1 is an invalid
// argument (which ends the calculate command through its failure handler).
#pragma once

#include <string>
#include <string_view>

namespace suusiki {

using Text = std::u32string;
using TextView = std::u32string_view;

// UTF-8 <-> character text. Bytes that are not valid UTF-8 become U+FFFD.
Text FromUtf8(std::string_view utf8);
std::string ToUtf8(TextView text);
// The same conversions into a text kept for the next one: `out` is replaced,
// and its storage is reused.
void FromUtf8(std::string_view utf8, Text& out);
void ToUtf8(TextView text, std::string& out);

// Widens an ASCII literal or ASCII-only text.
Text Ascii(std::string_view ascii);

// 1-based position of the first occurrence of `needle` at or after `start`,
// 0 when absent.
int InStr(TextView haystack, TextView needle, int start = 1);

// First `count` characters; the whole text when it is shorter.
Text Left(TextView text, long long count);
// Last `count` characters; the whole text when it is shorter.
Text Right(TextView text, long long count);
// From 1-based `start` to the end; empty when start lies beyond the end.
Text Mid(TextView text, long long start);
// `count` characters from 1-based `start`.
Text Mid(TextView text, long long start, long long count);

inline bool IsDigit(char32_t c) { return c >= U'0' && c <= U'9'; }
inline bool IsUpper(char32_t c) { return c >= U'A' && c <= U'Z'; }
inline bool IsLower(char32_t c) { return c >= U'a' && c <= U'z'; }
inline bool IsLetter(char32_t c) { return IsUpper(c) || IsLower(c); }
// The sign of a value inside the working texts of a calculation. A computed
// negative value is spliced back into the formula with this sign instead of a
// "-", and so is a "-" typed as a sign (after an operator or an opening
// bracket): then no later rule can take the sign for a subtraction. It lies
// beyond the Unicode range, so no typed, pasted or loaded text can hold it.
inline constexpr char32_t kValueSign = 0x110000;
// A computed value too small or too large for plain digits is carried in the
// working texts as its 15 significant digits, a point after the first, an
// exponent mark and the exponent's digits: "3.97289171291712" kExponentDown
// "19" is 3.97289171291712 x 10^-19. The mark holds the exponent's sign, so no
// rule can take it for an operator; like the value sign it lies beyond Unicode.
inline constexpr char32_t kExponentUp = 0x110001;
inline constexpr char32_t kExponentDown = 0x110002;
inline bool IsExponentMark(char32_t c) { return c == kExponentUp || c == kExponentDown; }

// Writes every value sign of `text` as "-" and every exponent mark as "E+" or
// "E-", as a person sees them and as the reading rule reads them.
void ShowSigns(Text& text);
Text WithShownSigns(TextView text);

}  // namespace suusiki
