#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Shift-JIS as the data service and the stored files use it: always CP932, which has the NEC and
// IBM extensions and maps ～ － ① and friends the way Windows does.
namespace common {

/// UTF-8 text to CP932 bytes. A character CP932 cannot hold becomes "?".
std::string ToCp932(std::string_view utf8);

/// CP932 bytes to UTF-8 text. Zero bytes read as blanks; a byte sequence that is not CP932
/// (a broken lead byte, a lone trail byte) becomes U+FFFD and decoding goes on after it.
std::string FromCp932(std::string_view cp932);

/// True for a byte that starts a double-byte CP932 character.
bool IsCp932LeadByte(unsigned char byte);

/// Number of characters (code points) of a UTF-8 text.
std::size_t CharCount(std::string_view utf8);

/// The first n characters of a UTF-8 text (never splits a character).
std::string LeftChars(std::string_view utf8, std::size_t n);

/// Characters start..start+n-1 (0-based) of a UTF-8 text; n = npos takes the rest.
std::string MidChars(std::string_view utf8, std::size_t start, std::size_t n = std::string_view::npos);

/// The last n characters of a UTF-8 text.
std::string RightChars(std::string_view utf8, std::size_t n);

/// The first n characters of CP932 bytes: a double-byte character counts once and is never
/// split; a lead byte at the very end counts as a character of its own.
std::string_view LeftCp932Chars(std::string_view cp932, std::size_t n);

/// Bytes with every zero byte replaced by a blank (records read back from gaps in a file).
std::string BlankZeros(std::string_view bytes);

/// Bytes without trailing blanks (half-width only; a full-width blank is text).
std::string_view TrimRightBlanks(std::string_view bytes);

}  // namespace common
