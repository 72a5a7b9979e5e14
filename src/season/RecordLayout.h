#pragma once
// The byte layout of a fixed-length record as one table of named fields: each field's name,
// how it is stored and where. The record's codec reads and writes through the table, and
// every other place names a field instead of an offset, so a layout is written down once.
#include "NumberKind.h"
#include "RecordFile.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <span>
#include <type_traits>
#include <utility>

namespace vexal {

// How a field is stored, little-endian: Byte (1 byte), Integer (2), Currency (8, fixed-point
// x 10 000), Date (8, an OLE Automation date as a Double), Text (raw Windows-1252 bytes).
enum class FieldType : uint8_t { Byte, Integer, Currency, Date, Text };

template <class Record>
struct RecordField {
    const char* name;
    FieldType type;
    std::size_t offset;
    std::size_t size;
    void (*load)(Record&, const uint8_t*);      // from the field's bytes
    void (*store)(const Record&, uint8_t*);     // into the field's bytes
    // Byte, Integer and Currency fields as stored (Currency fixed-point); null for Date and Text.
    int64_t (*get)(const Record&);
    // Cut to the field's width; callers check the range the type allows first.
    void (*set)(Record&, int64_t);
};

// The numeric range a Byte or Integer field holds.
inline int64_t LowestValue(FieldType type) { return type == FieldType::Byte ? 0 : -32768; }
inline int64_t HighestValue(FieldType type) { return type == FieldType::Byte ? 255 : 32767; }

// What a box that writes a field of this type takes: a Byte a whole number of 0 or more, an
// Integer a whole number with its sign, a Currency decimals and a sign; a date its "/" too.
constexpr NumberKind NumberKindOf(FieldType type)
{
    switch (type) {
    case FieldType::Byte: return WholeNumbers;
    case FieldType::Integer: return NumberKind{false, true, {}, false, 0};
    case FieldType::Currency: return AnyNumber;
    case FieldType::Date: return NumberKind{true, true, "/", false, 0};
    case FieldType::Text: break;
    }
    return NumberKind{true, true, {}, true, 0};
}

namespace layout {

// A field's entry made from an accessor: a type with static `Of(Record&)` and
// `Of(const Record&)` giving the member. Its storage follows from the member's type.
template <class T>
constexpr FieldType TypeOf()
{
    if constexpr (std::is_same_v<T, uint8_t>)
        return FieldType::Byte;
    else if constexpr (std::is_same_v<T, int16_t>)
        return FieldType::Integer;
    else if constexpr (std::is_same_v<T, int64_t>)
        return FieldType::Currency;
    else if constexpr (std::is_same_v<T, double>)
        return FieldType::Date;
    else
        return FieldType::Text;
}

template <class Record, class Access>
using MemberOf = std::remove_cvref_t<decltype(Access::Of(std::declval<const Record&>()))>;

template <class Record, class Access>
void Load(Record& r, const uint8_t* p)
{
    using T = MemberOf<Record, Access>;
    T& m = Access::Of(r);
    if constexpr (std::is_same_v<T, uint8_t>)
        m = le::U8(p);
    else if constexpr (std::is_same_v<T, int16_t>)
        m = le::I16(p);
    else if constexpr (std::is_same_v<T, int64_t>)
        m = le::I64(p);
    else if constexpr (std::is_same_v<T, double>)
        m = le::F64(p);
    else
        std::memcpy(m.data(), p, m.size());
}

template <class Record, class Access>
void Store(const Record& r, uint8_t* p)
{
    using T = MemberOf<Record, Access>;
    const T& m = Access::Of(r);
    if constexpr (std::is_same_v<T, uint8_t>)
        le::PutU8(p, m);
    else if constexpr (std::is_same_v<T, int16_t>)
        le::PutI16(p, m);
    else if constexpr (std::is_same_v<T, int64_t>)
        le::PutI64(p, m);
    else if constexpr (std::is_same_v<T, double>)
        le::PutF64(p, m);
    else
        std::memcpy(p, m.data(), m.size());
}

template <class Record, class Access>
int64_t Get(const Record& r)
{
    return static_cast<int64_t>(Access::Of(r));
}

template <class Record, class Access>
void Set(Record& r, int64_t v)
{
    using T = MemberOf<Record, Access>;
    Access::Of(r) = static_cast<T>(v);
}

template <class Record, class Access>
constexpr RecordField<Record> Field(const char* name, std::size_t offset)
{
    using T = MemberOf<Record, Access>;
    constexpr FieldType type = TypeOf<T>();
    RecordField<Record> f{name, type, offset, sizeof(T), &Load<Record, Access>, &Store<Record, Access>, nullptr, nullptr};
    if constexpr (type == FieldType::Byte || type == FieldType::Integer || type == FieldType::Currency) {
        f.get = &Get<Record, Access>;
        f.set = &Set<Record, Access>;
    }
    return f;
}

// A member of the record itself.
template <auto Member>
struct Direct {
    template <class R>
    static auto& Of(R& r) { return r.*Member; }
};

// A member of a member (a team's box score within a game).
template <auto Outer, auto Inner>
struct Nested {
    template <class R>
    static auto& Of(R& r) { return (r.*Outer).*Inner; }
};

// Decoding and encoding through a table fixed when compiling (a constexpr array): every
// field's load or store is called by name, so the compiler inlines it and a record costs no
// call per field. The loader decodes every record of every season this way.
template <const auto& Table, std::size_t I, class Record>
void LoadField(Record& record, const uint8_t* bytes)
{
    constexpr auto field = Table[I];
    field.load(record, bytes + field.offset);
}

template <const auto& Table, std::size_t I, class Record>
void StoreField(const Record& record, uint8_t* bytes)
{
    constexpr auto field = Table[I];
    field.store(record, bytes + field.offset);
}

template <const auto& Table, class Record>
void DecodeFields(Record& record, const uint8_t* bytes)
{
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (LoadField<Table, I>(record, bytes), ...);
    }(std::make_index_sequence<std::size(Table)>{});
}

template <const auto& Table, class Record>
void EncodeFields(const Record& record, uint8_t* bytes)
{
    [&]<std::size_t... I>(std::index_sequence<I...>) {
        (StoreField<Table, I>(record, bytes), ...);
    }(std::make_index_sequence<std::size(Table)>{});
}

// True when the fields follow each other without gap or overlap and fill `size` bytes.
template <class Record>
bool Contiguous(std::span<const RecordField<Record>> fields, std::size_t size)
{
    std::size_t at = 0;
    for (const RecordField<Record>& f : fields) {
        if (f.offset != at)
            return false;
        at += f.size;
    }
    return at == size;
}

} // namespace layout

} // namespace vexal
