// PDF values: CPdfObject, a tagged value, and its shared payloads CPdfArray and CPdfDict.
//
// Copying an object copies string, name and keyword bytes and shares an array, dictionary or
// stream payload (reference counted; the last holder destroys it). Arrays and dictionaries
// keep a pointer to the CPdfXRef that resolves the references they hold: they must not be
// used after the document that made them is closed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CPdfArray;
class CPdfDict;
class CPdfStream;
class CPdfXRef;

// The kinds, in the order of their codes.
enum class CPdfKind : int {
    Boolean = 0,
    Integer,
    Real,
    String,
    Name,
    Null,
    Array,
    Dict,
    Stream,
    Ref,
    Keyword,
    Error,
    EndOfInput,
    None
};

class CPdfObject {
  public:
    CPdfObject() = default;
    CPdfObject(const CPdfObject& other);
    CPdfObject(CPdfObject&& other) noexcept;
    CPdfObject& operator=(const CPdfObject& other);
    CPdfObject& operator=(CPdfObject&& other) noexcept;
    ~CPdfObject() { Free(); }

    static CPdfObject MakeBool(bool value);
    static CPdfObject MakeInt(int value);
    static CPdfObject MakeReal(double value);
    static CPdfObject MakeString(std::string bytes);
    static CPdfObject MakeName(std::string bytes);
    static CPdfObject MakeKeyword(std::string bytes);
    static CPdfObject MakeNull();
    static CPdfObject MakeRef(int number, int generation);
    static CPdfObject MakeError();
    static CPdfObject MakeEndOfInput();
    // A new, empty payload resolved through `table` (may be null).
    static CPdfObject MakeArray(CPdfXRef* table);
    static CPdfObject MakeDict(CPdfXRef* table);
    // Takes over one reference of `stream`.
    static CPdfObject MakeStream(CPdfStream* stream);

    // Releases the payload; the kind becomes none.
    void Free();

    CPdfKind GetKind() const { return m_kind; }
    bool IsBool() const { return m_kind == CPdfKind::Boolean; }
    bool IsInt() const { return m_kind == CPdfKind::Integer; }
    bool IsReal() const { return m_kind == CPdfKind::Real; }
    bool IsNum() const { return IsInt() || IsReal(); }
    bool IsString() const { return m_kind == CPdfKind::String; }
    bool IsName() const { return m_kind == CPdfKind::Name; }
    bool IsName(std::string_view name) const { return IsName() && HasBytes(name); }
    bool IsNull() const { return m_kind == CPdfKind::Null; }
    bool IsArray() const { return m_kind == CPdfKind::Array; }
    bool IsDict() const { return m_kind == CPdfKind::Dict; }
    // A dictionary whose Type is the name `type`.
    bool IsDictOfType(std::string_view type) const;
    bool IsStream() const { return m_kind == CPdfKind::Stream; }
    bool IsRef() const { return m_kind == CPdfKind::Ref; }
    bool IsKeyword() const { return m_kind == CPdfKind::Keyword; }
    bool IsKeyword(std::string_view word) const { return IsKeyword() && HasBytes(word); }
    bool IsError() const { return m_kind == CPdfKind::Error; }
    bool IsEOF() const { return m_kind == CPdfKind::EndOfInput; }
    bool IsNone() const { return m_kind == CPdfKind::None; }

    // Accessors; each expects the matching kind (a wrong kind gives 0, an empty text, or
    // for GetArray / GetDict an empty shared payload).
    bool GetBool() const { return IsBool() && m_int != 0; }
    int GetInt() const { return IsInt() ? m_int : 0; }
    double GetReal() const { return IsReal() ? m_real : 0.0; }
    double GetNum() const { return IsInt() ? m_int : GetReal(); }
    const std::string& GetString() const { return m_bytes; }
    const std::string& GetName() const { return m_bytes; }
    const std::string& GetKeyword() const { return m_bytes; }
    int GetRefNum() const { return IsRef() ? m_int : 0; }
    int GetRefGen() const { return IsRef() ? m_gen : 0; }
    CPdfArray& GetArray() const;
    // The dictionary, or for a stream the stream's dictionary.
    CPdfDict& GetDict() const;
    CPdfStream& GetStream() const;

  private:
    static CPdfObject MakeWithBytes(CPdfKind kind, std::string bytes);
    // Whether the bytes are `text`. The parser asks for one- and two-byte keywords ("[", "<<",
    // "R") at every token: those are compared here rather than through a library call.
    bool HasBytes(std::string_view text) const {
        if (m_bytes.size() != text.size()) return false;
        if (text.size() > 2) return m_bytes == text;
        return text.empty() ||
               (m_bytes[0] == text[0] && (text.size() == 1 || m_bytes[1] == text[1]));
    }
    void CopyFrom(const CPdfObject& other);
    void AddRefPayload();

    CPdfKind m_kind = CPdfKind::None;
    int m_int = 0;  // boolean, integer, reference number
    int m_gen = 0;  // reference generation
    double m_real = 0.0;
    std::string m_bytes;        // string, name, keyword
    void* m_payload = nullptr;  // CPdfArray*, CPdfDict* or CPdfStream*
};

// `value` with a reference resolved through `table` (when both are given), else a copy.
CPdfObject ResolveValue(const CPdfObject& value, CPdfXRef* table);

class CPdfArray {
  public:
    explicit CPdfArray(CPdfXRef* table) : m_table(table) {}
    ~CPdfArray() = default;
    CPdfArray(const CPdfArray&) = delete;
    CPdfArray& operator=(const CPdfArray&) = delete;

    void AddRef() { ++m_refCount; }
    void Release();

    void Reserve(size_t count) { m_items.reserve(count); }
    void Add(const CPdfObject& value) { m_items.push_back(value); }
    void Add(CPdfObject&& value) { m_items.push_back(std::move(value)); }
    int GetLength() const { return static_cast<int>(m_items.size()); }
    // Element `i` with a reference resolved; null when `i` is out of range.
    CPdfObject Get(int i) const;
    // Element `i` as stored; null when `i` is out of range.
    CPdfObject GetNF(int i) const;
    // Borrowed view of element `i` as stored (valid while the array lives and is unchanged).
    const CPdfObject& At(int i) const { return m_items[static_cast<size_t>(i)]; }
    CPdfXRef* GetTable() const { return m_table; }

  private:
    int m_refCount = 1;
    CPdfXRef* m_table;
    std::vector<CPdfObject> m_items;
};

class CPdfDict {
  public:
    using Entry = std::pair<std::string, CPdfObject>;

    explicit CPdfDict(CPdfXRef* table) : m_table(table) {}
    ~CPdfDict() = default;
    CPdfDict(const CPdfDict&) = delete;
    CPdfDict& operator=(const CPdfDict&) = delete;

    void AddRef() { ++m_refCount; }
    void Release();

    // Stores `value` under `key`; a key already present keeps its first value.
    void Add(std::string key, CPdfObject value);
    // The value with a reference resolved; null when the key is absent.
    CPdfObject Lookup(std::string_view key) const;
    // The value as stored; null when the key is absent.
    CPdfObject LookupDirect(std::string_view key) const;
    bool Has(std::string_view key) const { return Find(key) != nullptr; }
    int GetLength() const { return static_cast<int>(Sorted().size()); }
    // Entries in byte order of their keys, each key once.
    const std::vector<Entry>& Entries() const { return Sorted(); }
    CPdfXRef* GetTable() const { return m_table; }
    void SetTable(CPdfXRef* table) { m_table = table; }

  private:
    // The entries put in key order with each key once (its first value kept), when Add has
    // left them otherwise. A dictionary is read by one thread at a time, as its document is.
    const std::vector<Entry>& Sorted() const;
    const CPdfObject* Find(std::string_view key) const;

    int m_refCount = 1;
    CPdfXRef* m_table;
    // One vector rather than a tree: a dictionary costs one allocation, not one per entry.
    mutable std::vector<Entry> m_entries;
    mutable bool m_sorted = true;
};
