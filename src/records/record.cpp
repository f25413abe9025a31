#include "records/record.h"

#include <algorithm>
#include <cstring>

#include "common/encoding.h"

namespace records {

std::string_view NextField(std::string_view record, std::int32_t& position, std::int32_t width) {
    // 64-bit arithmetic: a wild position or width must neither overflow nor reach outside.
    const std::int64_t first = static_cast<std::int64_t>(position) - 1;
    const std::int64_t next = static_cast<std::int64_t>(position) + width;
    position = static_cast<std::int32_t>(std::clamp<std::int64_t>(next, INT32_MIN, INT32_MAX));
    const auto size = static_cast<std::int64_t>(record.size());
    if (width <= 0 || first < 0 || first >= size) return {};
    return record.substr(static_cast<std::size_t>(first),
                         static_cast<std::size_t>(std::min<std::int64_t>(width, size - first)));
}

std::string_view RecordSpecOf(std::string_view bytes) { return bytes.substr(0, 2); }

std::string FieldText(std::string_view bytes) { return common::FromCp932(bytes); }

std::string PaddedFieldText(std::string_view bytes, int width) {
    std::string text = common::FromCp932(bytes);
    const std::size_t chars = common::CharCount(text);
    if (width > 0 && chars < static_cast<std::size_t>(width))
        text.append(static_cast<std::size_t>(width) - chars, ' ');
    return text;
}

std::size_t FittingBytes(std::string_view value, std::size_t width) {
    if (value.size() <= width) return value.size();
    std::size_t at = 0;
    while (at < value.size()) {
        const bool pair =
            common::IsCp932LeadByte(static_cast<unsigned char>(value[at])) && at + 1 < value.size();
        const std::size_t next = at + (pair ? 2 : 1);
        if (next > width) break;
        at = next;
    }
    return at;
}

void FitInto(std::string_view value, char* out, std::size_t width) {
    const std::size_t n = FittingBytes(value, width);
    if (n > 0) std::memcpy(out, value.data(), n);
    std::memset(out + n, ' ', width - n);
}

namespace detail {

std::string ItemPath(const Item* items, const Slot* slots, int index) {
    std::string path(items[index].name);
    for (int at = slots[index].parent; at >= 0; at = slots[at].parent)
        path = std::string(items[at].name) + "." + path;
    return path;
}

}  // namespace detail

}  // namespace records
