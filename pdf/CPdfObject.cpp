#include "pdf/CPdfObject.h"

#include <algorithm>
#include <utility>

#include "pdf/CPdfStream.h"
#include "pdf/CPdfXRef.h"

namespace {

// Shared empty payloads handed out by accessors called on the wrong kind, so that a
// caller's mistake reads as "empty" rather than crashing.
CPdfArray& EmptyArray() {
    static CPdfArray empty(nullptr);
    return empty;
}

CPdfDict& EmptyDict() {
    static CPdfDict empty(nullptr);
    return empty;
}

}  // namespace

CPdfObject::CPdfObject(const CPdfObject& other) {
    CopyFrom(other);
}

CPdfObject::CPdfObject(CPdfObject&& other) noexcept
    : m_kind(other.m_kind),
      m_int(other.m_int),
      m_gen(other.m_gen),
      m_real(other.m_real),
      m_bytes(std::move(other.m_bytes)),
      m_payload(std::exchange(other.m_payload, nullptr)) {
    other.m_kind = CPdfKind::None;
}

CPdfObject& CPdfObject::operator=(const CPdfObject& other) {
    if (this != &other) {
        CPdfObject copy(other);
        *this = std::move(copy);
    }
    return *this;
}

CPdfObject& CPdfObject::operator=(CPdfObject&& other) noexcept {
    if (this != &other) {
        Free();
        m_kind = std::exchange(other.m_kind, CPdfKind::None);
        m_int = other.m_int;
        m_gen = other.m_gen;
        m_real = other.m_real;
        m_bytes = std::move(other.m_bytes);
        m_payload = std::exchange(other.m_payload, nullptr);
    }
    return *this;
}

void CPdfObject::CopyFrom(const CPdfObject& other) {
    m_kind = other.m_kind;
    m_int = other.m_int;
    m_gen = other.m_gen;
    m_real = other.m_real;
    m_bytes = other.m_bytes;
    m_payload = other.m_payload;
    AddRefPayload();
}

void CPdfObject::AddRefPayload() {
    if (m_payload == nullptr) return;
    if (m_kind == CPdfKind::Array) static_cast<CPdfArray*>(m_payload)->AddRef();
    if (m_kind == CPdfKind::Dict) static_cast<CPdfDict*>(m_payload)->AddRef();
    if (m_kind == CPdfKind::Stream) static_cast<CPdfStream*>(m_payload)->AddRef();
}

void CPdfObject::Free() {
    if (m_payload != nullptr) {
        void* payload = std::exchange(m_payload, nullptr);
        if (m_kind == CPdfKind::Array) static_cast<CPdfArray*>(payload)->Release();
        if (m_kind == CPdfKind::Dict) static_cast<CPdfDict*>(payload)->Release();
        if (m_kind == CPdfKind::Stream) static_cast<CPdfStream*>(payload)->Release();
    }
    m_bytes.clear();
    m_kind = CPdfKind::None;
}

CPdfObject CPdfObject::MakeBool(bool value) {
    CPdfObject o;
    o.m_kind = CPdfKind::Boolean;
    o.m_int = value ? 1 : 0;
    return o;
}

CPdfObject CPdfObject::MakeInt(int value) {
    CPdfObject o;
    o.m_kind = CPdfKind::Integer;
    o.m_int = value;
    return o;
}

CPdfObject CPdfObject::MakeReal(double value) {
    CPdfObject o;
    o.m_kind = CPdfKind::Real;
    o.m_real = value;
    return o;
}

CPdfObject CPdfObject::MakeWithBytes(CPdfKind kind, std::string bytes) {
    CPdfObject o;
    o.m_kind = kind;
    o.m_bytes = std::move(bytes);
    return o;
}

CPdfObject CPdfObject::MakeString(std::string bytes) {
    return MakeWithBytes(CPdfKind::String, std::move(bytes));
}
CPdfObject CPdfObject::MakeName(std::string bytes) {
    return MakeWithBytes(CPdfKind::Name, std::move(bytes));
}
CPdfObject CPdfObject::MakeKeyword(std::string bytes) {
    return MakeWithBytes(CPdfKind::Keyword, std::move(bytes));
}

CPdfObject CPdfObject::MakeNull() {
    CPdfObject o;
    o.m_kind = CPdfKind::Null;
    return o;
}

CPdfObject CPdfObject::MakeRef(int number, int generation) {
    CPdfObject o;
    o.m_kind = CPdfKind::Ref;
    o.m_int = number;
    o.m_gen = generation;
    return o;
}

CPdfObject CPdfObject::MakeError() {
    CPdfObject o;
    o.m_kind = CPdfKind::Error;
    return o;
}

CPdfObject CPdfObject::MakeEndOfInput() {
    CPdfObject o;
    o.m_kind = CPdfKind::EndOfInput;
    return o;
}

CPdfObject CPdfObject::MakeArray(CPdfXRef* table) {
    CPdfObject o;
    o.m_kind = CPdfKind::Array;
    o.m_payload = new CPdfArray(table);
    return o;
}

CPdfObject CPdfObject::MakeDict(CPdfXRef* table) {
    CPdfObject o;
    o.m_kind = CPdfKind::Dict;
    o.m_payload = new CPdfDict(table);
    return o;
}

CPdfObject CPdfObject::MakeStream(CPdfStream* stream) {
    CPdfObject o;
    o.m_kind = CPdfKind::Stream;
    o.m_payload = stream;
    return o;
}

bool CPdfObject::IsDictOfType(std::string_view type) const {
    return IsDict() && GetDict().Lookup("Type").IsName(type);
}

CPdfArray& CPdfObject::GetArray() const {
    return IsArray() ? *static_cast<CPdfArray*>(m_payload) : EmptyArray();
}

CPdfDict& CPdfObject::GetDict() const {
    if (IsDict()) return *static_cast<CPdfDict*>(m_payload);
    if (IsStream()) {
        const CPdfObject& dict = static_cast<CPdfStream*>(m_payload)->GetDict();
        if (dict.IsDict()) return *static_cast<CPdfDict*>(dict.m_payload);
    }
    return EmptyDict();
}

CPdfStream& CPdfObject::GetStream() const {
    return *static_cast<CPdfStream*>(m_payload);
}

CPdfObject ResolveValue(const CPdfObject& value, CPdfXRef* table) {
    if (value.IsRef() && table != nullptr)
        return table->Resolve(value.GetRefNum(), value.GetRefGen());
    return value;
}

void CPdfArray::Release() {
    if (--m_refCount == 0) delete this;
}

CPdfObject CPdfArray::Get(int i) const {
    if (i < 0 || i >= GetLength()) return CPdfObject::MakeNull();
    return ResolveValue(m_items[static_cast<size_t>(i)], m_table);
}

CPdfObject CPdfArray::GetNF(int i) const {
    if (i < 0 || i >= GetLength()) return CPdfObject::MakeNull();
    return m_items[static_cast<size_t>(i)];
}

void CPdfDict::Release() {
    if (--m_refCount == 0) delete this;
}

void CPdfDict::Add(std::string key, CPdfObject value) {
    // Most dictionaries hold a few entries: room for eight saves regrowing.
    if (m_entries.empty()) m_entries.reserve(8);
    if (!m_entries.empty() && !(m_entries.back().first < key)) m_sorted = false;
    m_entries.emplace_back(std::move(key), std::move(value));
}

const std::vector<CPdfDict::Entry>& CPdfDict::Sorted() const {
    if (m_sorted) return m_entries;
    auto byKey = [](const Entry& a, const Entry& b) { return a.first < b.first; };
    if (m_entries.size() <= 32) {
        // Insertion sort: stable, and without the buffer a stable sort takes.
        for (auto it = m_entries.begin() + 1; it < m_entries.end(); ++it) {
            auto at = std::upper_bound(m_entries.begin(), it, *it, byKey);
            std::rotate(at, it, it + 1);
        }
    } else {
        std::stable_sort(m_entries.begin(), m_entries.end(), byKey);
    }
    // Stable order keeps a repeated key's first value first: unique keeps that one.
    auto sameKey = [](const Entry& a, const Entry& b) { return a.first == b.first; };
    m_entries.erase(std::unique(m_entries.begin(), m_entries.end(), sameKey), m_entries.end());
    m_sorted = true;
    return m_entries;
}

const CPdfObject* CPdfDict::Find(std::string_view key) const {
    // A small dictionary not sorted yet is searched in order: most are asked for a few keys
    // only, and the first entry of a repeated key is the one sorting would keep.
    constexpr size_t kSearchInOrderLimit = 16;
    if (!m_sorted && m_entries.size() <= kSearchInOrderLimit) {
        for (const Entry& entry : m_entries) {
            if (entry.first == key) return &entry.second;
        }
        return nullptr;
    }
    const std::vector<Entry>& entries = Sorted();
    auto it =
        std::lower_bound(entries.begin(), entries.end(), key,
                         [](const Entry& entry, std::string_view k) { return entry.first < k; });
    if (it == entries.end() || it->first != key) return nullptr;
    return &it->second;
}

CPdfObject CPdfDict::Lookup(std::string_view key) const {
    const CPdfObject* value = Find(key);
    if (value == nullptr) return CPdfObject::MakeNull();
    return ResolveValue(*value, m_table);
}

CPdfObject CPdfDict::LookupDirect(std::string_view key) const {
    const CPdfObject* value = Find(key);
    if (value == nullptr) return CPdfObject::MakeNull();
    return *value;
}
