// CProfileIni: typed access to one private-profile (ini) file over the platform's private-profile functions:
// strings, integers in bases 2/8/10/16, bools, doubles, characters, hex data blocks, points and rectangles, lists,
// increments, section and key listings, and copying, moving and deleting sections and keys.
//
// Conventions: a missing (null or empty) section or key name makes every write answer 0 and every read its
// default; names match case-insensitively (ASCII); numbers are read from at most the first 64 characters of a
// value; a data block is "%02X" per byte with no separator, and a value with any character that is not a hex
// digit, or with an odd number of digits, reads as a block of 0 bytes. Values read from a file are outside bytes:
// a caller that hands one to a device bounds it first (GetIntInRange). No operation shows a message or throws.
// Thread-safe as far as the private-profile functions are (they are serialised); an object is not shared.
#pragma once

#include "types/WinGeometry.h"

#include <cstdint>
#include <string>
#include <vector>

class CProfileIni
{
public:
    explicit CProfileIni(const char* path = nullptr);
    virtual ~CProfileIni();
    CProfileIni(const CProfileIni&) = default;
    CProfileIni& operator=(const CProfileIni&) = default;

    // A null path empties the current one (every write then fails and every read gives its default).
    void SetPath(const char* path);
    const std::string& GetPath() const { return m_path; }
    // Copies the path with its zero into `buffer` (cut to size - 1 bytes); answers the length copied.
    int GetPath(char* buffer, int size) const;

    // Writers: 1 when the file took the value, 0 otherwise.
    int WriteString(const char* section, const char* key, const char* text) const;
    // Base 2, 8 or 16 writes binary digits, octal or upper-case hex of the value's 32 bits; any other base decimal.
    int WriteInt(const char* section, const char* key, int32_t value, int base = 10) const;
    int WriteUInt(const char* section, const char* key, uint32_t value, int base = 10) const;
    int WriteBool(const char* section, const char* key, bool value) const;
    // With a positive precision that many decimals, else "%f". The whole text is written, however long (reads
    // take 64 characters, so a value wider than that does not read back).
    int WriteDouble(const char* section, const char* key, double value, int precision = -1) const;
    int WriteChar(const char* section, const char* key, char value) const;
    int WriteDataBlock(const char* section, const char* key, const void* data, int count) const;
    int WritePoint(const char* section, const char* key, const POINT& point) const;
    int WriteRect(const char* section, const char* key, const RECT& rect) const;
    // The first `count` items (-1: all) joined by the delimiter (null: ",").
    int WriteArray(const char* section, const char* key, const std::vector<std::string>& items, int count = -1,
                   const char* delimiter = nullptr) const;

    // Readers: the default when the key is missing or its value empty.
    std::string GetString(const char* section, const char* key, const char* defaultValue = nullptr) const;
    // Parsed as unsigned in base 2, 8 or 16 as given, any other base 10 (so "-5" reads back as -5).
    int32_t GetInt(const char* section, const char* key, int32_t defaultValue, int base = 10) const;
    uint32_t GetUInt(const char* section, const char* key, uint32_t defaultValue, int base = 10) const;
    // GetInt (decimal), and the default when the stored value lies outside [minimum, maximum].
    int32_t GetIntInRange(const char* section, const char* key, int32_t defaultValue, int32_t minimum,
                          int32_t maximum) const;
    // "true" and "yes" (any case) are true; otherwise a nonzero number is true.
    bool GetBool(const char* section, const char* key, bool defaultValue) const;
    double GetDouble(const char* section, const char* key, double defaultValue) const;
    char GetChar(const char* section, const char* key, char defaultValue) const;
    // Decodes at most `size` bytes from byte `offset` of the block into `buffer`; answers how many. With a null
    // buffer: how many bytes the block holds from the offset.
    int GetDataBlock(const char* section, const char* key, void* buffer, int size, int offset = 0) const;
    // A block of exactly 8 (point) or 16 (rectangle) bytes of little-endian int32, else the default.
    POINT GetPoint(const char* section, const char* key, const POINT& defaultValue) const;
    RECT GetRect(const char* section, const char* key, const RECT& defaultValue) const;
    // The value split at the delimiter (null: ","); no items when the key is missing or empty.
    std::vector<std::string> GetArray(const char* section, const char* key, const char* delimiter = nullptr) const;

    // Increments: the stored value (default 0 / false) changed and written back; the write's result.
    int IncreaseInt(const char* section, const char* key, int32_t increment, int base = 10) const;
    int IncreaseUInt(const char* section, const char* key, uint32_t increment, int base = 10) const;
    int IncreaseDouble(const char* section, const char* key, double increment, int precision = -1) const;
    int InvertBool(const char* section, const char* key) const;

    // The section's lines ("key=value"), each ended by a zero and the list by a second zero, into `buffer`; the
    // private-profile result (size - 2 when cut). With a null buffer: the size the whole list needs (length + 2).
    uint32_t GetSection(const char* section, char* buffer, uint32_t size) const;
    // Likewise for all section names.
    uint32_t GetSectionNames(char* buffer, uint32_t size) const;
    std::vector<std::string> GetSectionNames() const;
    // The part of each line of the section before its first '='.
    std::vector<std::string> GetKeyNames(const char* section) const;
    std::vector<std::string> GetSectionLines(const char* section) const;

    bool SectionExists(const char* section) const;
    // False for a missing key and for a key whose value is the sentinel text (kKeySentinel).
    bool KeyExists(const char* section, const char* key) const;
    static constexpr char kKeySentinel[] = "{3F0B6E52-9C1D-4A7E-B8D2-5E41C7A09F63}";

    int DeleteSection(const char* section) const;
    int DeleteKey(const char* section, const char* key) const;
    // Refused (0) when a name is missing, the two names are equal ignoring case, the source does not exist, or the
    // target exists and `failIfExists` is set; otherwise the target becomes a copy of the source's lines.
    int CopySection(const char* from, const char* to, bool failIfExists) const;
    int MoveSection(const char* from, const char* to, bool failIfExists) const;
    // Refused when section and key are both the same ignoring case, the source key does not exist, or the target
    // key exists and `failIfExists` is set.
    int CopyKey(const char* fromSection, const char* fromKey, const char* toSection, const char* toKey,
                bool failIfExists) const;
    int MoveKey(const char* fromSection, const char* fromKey, const char* toSection, const char* toKey,
                bool failIfExists) const;

private:
    // False when a name is missing, or the key is missing or empty; else the value (at most 64 characters with
    // `numeric`).
    bool ReadValue(const char* section, const char* key, std::string& value, bool numeric = false) const;
    // A double-zero list (section lines or names) read whole with the growing buffer.
    std::string ReadList(const char* section, bool names) const;
    const char* File() const { return m_path.empty() ? nullptr : m_path.c_str(); }

    std::string m_path;
};
