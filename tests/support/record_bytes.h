#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <string_view>

// Test fixtures build records byte by byte at the 1-based positions the layouts document, so
// that expected bytes never come from the code under test.
namespace testsupport {

/// Places bytes at 1-based position `at`; a fixture that overruns its record is a broken test.
inline void Put(std::string& record, std::size_t at, std::string_view bytes) {
    if (at < 1 || at - 1 + bytes.size() > record.size()) throw std::out_of_range("fixture overruns its record");
    record.replace(at - 1, bytes.size(), bytes);
}

/// The `width` bytes from 1-based position `at`.
inline std::string At(std::string_view record, std::size_t at, std::size_t width) {
    if (at < 1 || at - 1 > record.size()) throw std::out_of_range("position outside the record");
    return std::string(record.substr(at - 1, width));
}

/// Little-endian bytes of a float, as the record files store one.
inline std::string FloatBytes(float value) {
    std::uint32_t bits = 0;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    std::string out(4, '\0');
    for (int b = 0; b < 4; ++b) out[static_cast<std::size_t>(b)] = static_cast<char>((bits >> (8 * b)) & 0xFF);
    return out;
}

}  // namespace testsupport
