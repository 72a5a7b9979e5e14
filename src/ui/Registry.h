#pragma once
// cRegistry reads and writes one named value of the program's registry: a key store of
// its own in one file ($HOME/Vexal/Registry.dat unless set), with the registry's root
// keys, case-insensitive key and value names, and its value types. GUI-free.
#include <cstdint>
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

namespace vexal {

enum : int32_t {
    REG_SZ = 1,
    REG_EXPAND_SZ = 2,
    REG_BINARY = 3,
    REG_DWORD = 4,
    REG_DWORD_BIG_ENDIAN = 5,
    REG_MULTI_SZ = 7,
};
// The predefined root keys.
enum : int32_t {
    HKEY_CLASSES_ROOT = static_cast<int32_t>(0x80000000u),
    HKEY_CURRENT_USER = static_cast<int32_t>(0x80000001u),
    HKEY_LOCAL_MACHINE = static_cast<int32_t>(0x80000002u),
    HKEY_USERS = static_cast<int32_t>(0x80000003u),
};

// A value as read or written: nothing, text, a 16- or 32-bit number, or bytes.
using RegValue = std::variant<std::monostate, std::string, int16_t, int32_t, std::vector<uint8_t>>;

// Where the store lives; an empty path restores the default.
void SetRegistryFile(const std::filesystem::path& file);
std::filesystem::path RegistryFile();

// A raw value as the store keeps it (tests and tools).
struct StoredValue {
    int32_t type = 0;
    std::vector<uint8_t> data;
};
[[nodiscard]] bool WriteRawValue(int32_t root, const std::string& key, const std::string& name, const StoredValue& value);
bool ReadRawValue(int32_t root, const std::string& key, const std::string& name, StoredValue& value);
bool KeyExists(int32_t root, const std::string& key);

inline constexpr int32_t RegistryKeyError = 26001;
inline constexpr int32_t RegistryWriteError = static_cast<int32_t>(0x800469A9u);

class cRegistry {
public:
    RegValue Value();
    // Raises VbError RegistryKeyError or RegistryWriteError on failure.
    void Value(const RegValue& v);
    int32_t ValueType() const { return valueType_; }
    void ValueType(int32_t t) { valueType_ = t; }
    int32_t ClassKey() const { return classKey_; }
    void ClassKey(int32_t k) { classKey_ = k; }
    const std::string& SectionKey() const { return sectionKey_; }
    void SectionKey(const std::string& k) { sectionKey_ = k; }
    const std::string& ValueKey() const { return valueKey_; }
    void ValueKey(const std::string& k) { valueKey_ = k; }

private:
    std::string FailureText(const RegValue& v) const;

    int32_t classKey_ = 0;
    std::string sectionKey_;
    std::string valueKey_;
    int32_t valueType_ = 0;
    RegValue lastValue_;
};

// Expands %NAME% references from the environment; unknown names stay as written.
std::string ExpandEnvironmentStrings(const std::string& text);

} // namespace vexal
