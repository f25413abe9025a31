#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>
#include <string_view>

// How a record kind is laid out, written once as data: a table of fields and groups in record
// order. Everything else (offsets, lengths, field counts, named references) is computed from the
// table at compile time, so a wrong width cannot hide in hand-written offsets.
namespace records {

enum class ItemKind : unsigned char { Field, Group, End };

/// One line of a layout table. A group's members follow it up to its matching End item.
struct Item {
    ItemKind kind = ItemKind::End;
    std::string_view name;
    int width = 0;        // a field's bytes as received
    int storedWidth = 0;  // a field's bytes in the stored form
    int count = 1;        // repetitions, back to back
};

/// A field of `width` bytes, repeated `count` times.
constexpr Item F(std::string_view name, int width, int count = 1) {
    return {ItemKind::Field, name, width, width, count};
}
/// A field that the stored form keeps narrower (its leftmost `storedWidth` bytes).
constexpr Item Narrowed(std::string_view name, int width, int storedWidth) {
    return {ItemKind::Field, name, width, storedWidth, 1};
}
/// Opens a group repeated `count` times; close it with End().
constexpr Item G(std::string_view name, int count = 1) {
    return {ItemKind::Group, name, 0, 0, count};
}
constexpr Item End() { return {}; }

template <std::size_t... N>
constexpr std::array<Item, (N + ...)> Concat(const std::array<Item, N>&... parts) {
    std::array<Item, (N + ...)> out{};
    std::size_t at = 0;
    ((std::copy(parts.begin(), parts.end(), out.begin() + static_cast<std::ptrdiff_t>(at)), at += N),
     ...);
    return out;
}

/// Where one item of a layout lies.
struct Slot {
    int offset = 0;   // 0-based first byte of its first occurrence (every index 0)
    int width = 0;    // bytes of one occurrence: a field's width, one repetition of a group
    int parent = -1;  // the enclosing group's item index, -1 at the top
    int end = 0;      // a group's End item index (a field: its own index)
};

template <std::size_t N>
struct Placed {
    std::array<Slot, N> slots{};
    int length = 0;      // bytes of the whole record
    int fieldCount = 0;  // fields of one record, every repetition counted
};

inline constexpr int kMaxDepth = 8;

/// Places every item of a table, in the received or in the stored form. A table whose groups
/// do not close fails to compile where it is placed.
template <std::size_t N>
constexpr Placed<N> Place(const std::array<Item, N>& items, bool stored) {
    Placed<N> placed;
    int open[kMaxDepth] = {};
    int multiplier[kMaxDepth + 1] = {1};
    int depth = 0;
    int cursor = 0;
    for (std::size_t i = 0; i < N; ++i) {
        const Item& item = items[i];
        Slot& slot = placed.slots[i];
        slot.parent = depth > 0 ? open[depth - 1] : -1;
        slot.end = static_cast<int>(i);
        slot.offset = cursor;
        switch (item.kind) {
        case ItemKind::Field: {
            const int width = stored ? item.storedWidth : item.width;
            if (width <= 0 || item.count <= 0) throw std::logic_error("field without bytes");
            slot.width = width;
            cursor += width * item.count;
            placed.fieldCount += item.count * multiplier[depth];
            break;
        }
        case ItemKind::Group:
            if (depth == kMaxDepth || item.count <= 0) throw std::logic_error("bad group");
            open[depth] = static_cast<int>(i);
            multiplier[depth + 1] = multiplier[depth] * item.count;
            ++depth;
            break;
        case ItemKind::End: {
            if (depth == 0) throw std::logic_error("End without a group");
            --depth;
            const int group = open[depth];
            Slot& g = placed.slots[static_cast<std::size_t>(group)];
            g.width = cursor - g.offset;
            g.end = static_cast<int>(i);
            cursor = g.offset + g.width * items[static_cast<std::size_t>(group)].count;
            slot.parent = g.parent;
            slot.offset = cursor;
            break;
        }
        }
    }
    if (depth != 0) throw std::logic_error("group left open");
    placed.length = cursor;
    return placed;
}

inline constexpr int kMaxDims = 3;

/// A field or a group of a layout: its first occurrence and how its repetitions step, one
/// level per enclosing repetition (outermost first; levels of count 1 take no index).
struct FieldRef {
    int item = -1;
    int offset = 0;
    int width = 0;
    int dims = 0;
    std::array<int, kMaxDims> counts{};
    std::array<int, kMaxDims> strides{};

    /// 0-based offset of occurrence (i, j, k), or -1 when an index lies outside its level.
    constexpr int Offset(int i = 0, int j = 0, int k = 0) const {
        const int index[kMaxDims] = {i, j, k};
        int at = offset;
        for (int d = 0; d < kMaxDims; ++d) {
            if (d < dims) {
                if (index[d] < 0 || index[d] >= counts[d]) return -1;
                at += index[d] * strides[d];
            } else if (index[d] != 0) {
                return -1;
            }
        }
        return at;
    }
    /// Occurrences of one record (the product of the level counts).
    constexpr int Occurrences() const {
        int n = 1;
        for (int d = 0; d < dims; ++d) n *= counts[d];
        return n;
    }
};

/// The reference of item `index` of a placed table.
template <std::size_t N>
constexpr FieldRef RefOfItem(const std::array<Item, N>& items, const Placed<N>& placed, int index) {
    FieldRef ref;
    ref.item = index;
    ref.offset = placed.slots[static_cast<std::size_t>(index)].offset;
    ref.width = placed.slots[static_cast<std::size_t>(index)].width;
    int chain[kMaxDepth + 1] = {};
    int links = 0;
    for (int at = index; at >= 0; at = placed.slots[static_cast<std::size_t>(at)].parent)
        chain[links++] = at;
    for (int c = links - 1; c >= 0; --c) {  // outermost first
        const auto at = static_cast<std::size_t>(chain[c]);
        if (items[at].count == 1) continue;
        if (ref.dims == kMaxDims) throw std::logic_error("too many repetition levels");
        ref.counts[static_cast<std::size_t>(ref.dims)] = items[at].count;
        ref.strides[static_cast<std::size_t>(ref.dims)] = placed.slots[at].width;
        ++ref.dims;
    }
    return ref;
}

/// The member `name` of group `parent` (-1: the top level), or -1.
template <std::size_t N>
constexpr int FindMember(const std::array<Item, N>& items, const Placed<N>& placed, int parent,
                         std::string_view name) {
    for (std::size_t i = 0; i < N; ++i)
        if (items[i].kind != ItemKind::End && placed.slots[i].parent == parent && items[i].name == name)
            return static_cast<int>(i);
    return -1;
}

/// Finds a field or group by its dotted path ("RaceId.Year", "PayFukusyo.Pay"): each part is
/// looked up among the members of the part before it.
template <std::size_t N>
constexpr std::optional<FieldRef> FindInTable(const std::array<Item, N>& items, const Placed<N>& placed,
                                              std::string_view path) {
    int found = -1;
    while (true) {
        const std::size_t dot = path.find('.');
        found = FindMember(items, placed, found, path.substr(0, dot));
        if (found < 0) return std::nullopt;
        if (dot == std::string_view::npos) break;
        if (items[static_cast<std::size_t>(found)].kind != ItemKind::Group) return std::nullopt;
        path.remove_prefix(dot + 1);
    }
    return RefOfItem(items, placed, found);
}

/// The placed table of a layout. A layout is a tag type with `kItems` (its table), `kStored`
/// (true for a stored form that differs from the received one) and `kName`.
template <class L>
inline constexpr auto kPlaced = Place(L::kItems, L::kStored);

template <class L>
inline constexpr int kLength = kPlaced<L>.length;

template <class L>
inline constexpr int kFieldCount = kPlaced<L>.fieldCount;

/// A reference usable only with records of layout L.
template <class L>
struct Ref : FieldRef {};

/// The reference of a dotted path, checked when compiling: a misspelt name does not build.
template <class L>
consteval Ref<L> Locate(std::string_view path) {
    const auto found = FindInTable(L::kItems, kPlaced<L>, path);
    if (!found) throw std::logic_error("no such field in this layout");
    return Ref<L>{*found};
}

/// The reference of member `field` of the top-level group `group`.
template <class L>
consteval Ref<L> Locate(std::string_view group, std::string_view field) {
    const int g = FindMember(L::kItems, kPlaced<L>, -1, group);
    const int f = g < 0 ? -1 : FindMember(L::kItems, kPlaced<L>, g, field);
    if (f < 0) throw std::logic_error("no such field in this layout");
    return Ref<L>{RefOfItem(L::kItems, kPlaced<L>, f)};
}

}  // namespace records
