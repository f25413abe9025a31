#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "records/layout.h"

// Records keep their own Shift-JIS bytes; a field is a view of its bytes found by offset, and
// becomes text only when a reader asks for it. A short record has shortened or empty fields from
// where it ends; a field that splits a double-byte character keeps its bytes as they are.
namespace records {

/// The cutter: bytes position..position+width-1 (1-based) of a record, none beyond its end;
/// advances position by width. Never fails: a position outside the record gives no bytes.
std::string_view NextField(std::string_view record, std::int32_t& position, std::int32_t width);

/// Bytes [offset, offset + width) of a record, cut at its end; empty for offset < 0 or past it.
/// Inline: every field read goes through it.
inline std::string_view CutAt(std::string_view bytes, int offset, int width) {
    if (offset < 0 || width <= 0 || static_cast<std::size_t>(offset) >= bytes.size()) return {};
    return bytes.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(width));
}

/// The record kind tag: the first two bytes ("RA", "SE", ...), shorter for a shorter text.
std::string_view RecordSpecOf(std::string_view bytes);

/// Field bytes as text: CP932 to UTF-8, what cannot be decoded replaced.
std::string FieldText(std::string_view bytes);

/// Field bytes as the stored form reads back: text padded with blanks to as many characters as
/// the field has bytes.
std::string PaddedFieldText(std::string_view bytes, int width);

namespace detail {
std::string ItemPath(const Item* items, const Slot* slots, int index);
}  // namespace detail

/// Looks a dotted path up at run time ("PayFukusyo.Pay"); the index is built once per layout.
/// Prefer Locate<L>() constants on hot paths.
template <class L>
std::optional<Ref<L>> FindField(std::string_view path) {
    static const auto index = [] {
        std::unordered_map<std::string, Ref<L>> map;
        const auto& items = L::kItems;
        const auto& placed = kPlaced<L>;
        for (std::size_t i = 0; i < items.size(); ++i) {
            if (items[i].kind == ItemKind::End) continue;
            map.emplace(detail::ItemPath(items.data(), placed.slots.data(), static_cast<int>(i)),
                        Ref<L>{RefOfItem(items, placed, static_cast<int>(i))});
        }
        return map;
    }();
    const auto found = index.find(std::string(path));
    if (found == index.end()) return std::nullopt;
    return found->second;
}

/// Calls visit(itemIndex, bytes) for every field of the record in layout order, each group
/// repetition by repetition, cutting with NextField in one pass.
template <class L, class Visit>
void ForEachField(std::string_view bytes, Visit&& visit) {
    const auto& items = L::kItems;
    const auto& placed = kPlaced<L>;
    std::int32_t position = 1;
    auto walk = [&](auto& self, int first, int last) -> void {
        for (int i = first; i < last;) {
            const Item& item = items[static_cast<std::size_t>(i)];
            const Slot& slot = placed.slots[static_cast<std::size_t>(i)];
            if (item.kind == ItemKind::Field) {
                for (int c = 0; c < item.count; ++c) visit(i, NextField(bytes, position, slot.width));
                ++i;
            } else {  // a group: its members, once per repetition
                for (int c = 0; c < item.count; ++c) self(self, i + 1, slot.end);
                i = slot.end + 1;
            }
        }
    };
    walk(walk, 0, static_cast<int>(items.size()));
}

/// Every field's bytes in layout order (a record cut into fields, as a list).
template <class L>
std::vector<std::string_view> CutFields(std::string_view bytes) {
    std::vector<std::string_view> fields;
    fields.reserve(static_cast<std::size_t>(kFieldCount<L>));
    ForEachField<L>(bytes, [&](int, std::string_view field) { fields.push_back(field); });
    return fields;
}

/// Field access by reference, by path, and by group and index, over bytes laid out as L.
/// Indices are 0-based, one per repeated level (outermost first); an index outside its level
/// gives an empty field.
template <class L, class Self>
class FieldAccess {
public:
    using Layout = L;
    static constexpr int kRecordLength = kLength<L>;

    std::string_view Get(Ref<L> ref, int i = 0, int j = 0, int k = 0) const {
        return CutAt(Bytes(), ref.Offset(i, j, k), ref.width);
    }
    std::string Text(Ref<L> ref, int i = 0, int j = 0, int k = 0) const {
        return FieldText(Get(ref, i, j, k));
    }
    /// The field as a stored record reads back: text padded with blanks to as many characters
    /// as the field has bytes (a 36-byte name of 9 double-byte characters: 9 + 27 blanks).
    std::string PaddedText(Ref<L> ref, int i = 0, int j = 0, int k = 0) const {
        return PaddedFieldText(Get(ref, i, j, k), ref.width);
    }
    /// By dotted path ("RaceId.Year", "PayFukusyo.Pay"); an unknown path gives an empty field.
    std::string_view ByName(std::string_view path, int i = 0, int j = 0, int k = 0) const {
        const auto ref = FindField<L>(path);
        return ref ? Get(*ref, i, j, k) : std::string_view();
    }
    std::string TextByName(std::string_view path, int i = 0, int j = 0, int k = 0) const {
        return FieldText(ByName(path, i, j, k));
    }
    /// Fewer bytes than the layout: the record arrived short.
    bool IsShort() const { return Bytes().size() < static_cast<std::size_t>(kRecordLength); }

private:
    std::string_view Bytes() const { return static_cast<const Self&>(*this).Bytes(); }
};

/// A record's bytes seen in place (no copy). The bytes must outlive the view.
template <class L>
class RecordView : public FieldAccess<L, RecordView<L>> {
public:
    RecordView() = default;
    explicit RecordView(std::string_view bytes)
        : bytes_(bytes.substr(0, static_cast<std::size_t>(kLength<L>))) {}
    std::string_view Bytes() const { return bytes_; }

private:
    std::string_view bytes_;
};

/// A decoded record: its own copy of the received bytes (bytes past the layout dropped, a short
/// record kept short). Reusing one per kind reuses its buffer.
template <class L>
class Record : public FieldAccess<L, Record<L>> {
public:
    Record() = default;
    explicit Record(std::string_view bytes) { Assign(bytes); }
    void Assign(std::string_view bytes) {
        bytes_.assign(bytes.substr(0, static_cast<std::size_t>(kLength<L>)));
    }
    std::string_view Bytes() const { return bytes_; }
    RecordView<L> View() const { return RecordView<L>(bytes_); }

private:
    std::string bytes_;
};

/// A record in its stored form: always exactly the layout's length.
template <class L>
class StoredRecord : public FieldAccess<L, StoredRecord<L>> {
public:
    StoredRecord() : bytes_(static_cast<std::size_t>(kLength<L>), ' ') {}

    /// Takes bytes as they are, cut or padded with blanks to the length.
    void Assign(std::string_view bytes) {
        const std::size_t length = static_cast<std::size_t>(kLength<L>);
        bytes_.assign(bytes.substr(0, length));
        bytes_.resize(length, ' ');
    }
    /// Writes one field: the bytes left-aligned and blank-padded; bytes that do not fit are cut
    /// before the first character that would not fit whole.
    void Set(Ref<L> ref, std::string_view value, int i = 0, int j = 0, int k = 0);

    /// Zero bytes (gaps a later write left in a file) become blanks.
    void BlankZeros() {
        for (char& c : bytes_)
            if (c == '\0') c = ' ';
    }

    std::string_view Bytes() const { return bytes_; }
    RecordView<L> View() const { return RecordView<L>(bytes_); }

private:
    std::string bytes_;
};

/// How many bytes of `value` fit in `width` without splitting a double-byte character.
std::size_t FittingBytes(std::string_view value, std::size_t width);

/// Writes `value` into `out` (exactly `out.size()` bytes): left-aligned, blank-padded, cut
/// before a character that would not fit whole.
void FitInto(std::string_view value, char* out, std::size_t width);

template <class L>
void StoredRecord<L>::Set(Ref<L> ref, std::string_view value, int i, int j, int k) {
    const int at = ref.Offset(i, j, k);
    if (at < 0) return;
    FitInto(value, bytes_.data() + at, static_cast<std::size_t>(ref.width));
}

/// Reads a stored record back from a file's bytes: cut or padded to the length, and zero bytes
/// (gaps a later write left in the file) read as blanks.
template <class L>
void ReadStored(std::string_view bytes, StoredRecord<L>& out) {
    out.Assign(bytes);
    out.BlankZeros();
}

}  // namespace records
