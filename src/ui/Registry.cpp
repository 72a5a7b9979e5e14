#include "Registry.h"
#include "VbConvert.h"

#include "RecordFile.h"
#include "VbError.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <locale>
#include <map>
#include <sstream>
#include <tuple>

namespace vexal {

namespace {

std::filesystem::path& FileSetting()
{
    static std::filesystem::path file;
    return file;
}

// Key paths compare without case and without leading or doubled "\".
std::string NormalKey(const std::string& key)
{
    std::string out;
    for (char c : key) {
        if (c == '\\' && (out.empty() || out.back() == '\\'))
            continue;
        out += c;
    }
    while (!out.empty() && out.back() == '\\')
        out.pop_back();
    return out;
}

std::string Hex(const std::string& bytes)
{
    static const char* const Digits = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += Digits[c >> 4];
        out += Digits[c & 15];
    }
    return out;
}

bool Unhex(const std::string& hex, std::string& bytes)
{
    if (hex.size() % 2)
        return false;
    bytes.clear();
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        char* end = nullptr;
        const std::string two = hex.substr(i, 2);
        const long v = std::strtol(two.c_str(), &end, 16);
        if (end != two.c_str() + 2)
            return false;
        bytes += static_cast<char>(v);
    }
    return true;
}

struct Key {
    std::string name; // as first written
    std::map<std::string, std::pair<std::string, StoredValue>> values; // lower name -> (name, value)
};
using Store = std::map<std::pair<int32_t, std::string>, Key>; // (root, lower path)

// One line per key ("K root path") and per value ("V root path name type data"), the
// texts hex-encoded so that any character survives.
Store Load()
{
    Store store;
    std::ifstream in(RegistryFile(), std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        fields.imbue(std::locale::classic());
        std::string kind, path, name, data;
        int64_t root = 0;
        int32_t type = 0;
        fields >> kind >> root >> path;
        std::string keyName;
        if (!fields || !Unhex(path == "-" ? std::string() : path, keyName))
            continue;
        Key& key = store[{static_cast<int32_t>(root), vb::LCase(keyName)}];
        if (key.name.empty())
            key.name = keyName;
        if (kind != "V")
            continue;
        fields >> name >> type >> data;
        std::string valueName, bytes;
        if (!fields && !fields.eof())
            continue;
        if (!Unhex(name == "-" ? std::string() : name, valueName) || !Unhex(data == "-" ? std::string() : data, bytes))
            continue;
        key.values[vb::LCase(valueName)] = {valueName, StoredValue{type, std::vector<uint8_t>(bytes.begin(), bytes.end())}};
    }
    return store;
}

bool Save(const Store& store)
{
    std::string text;
    auto field = [](const std::string& s) { return s.empty() ? std::string("-") : Hex(s); };
    for (const auto& [id, key] : store) {
        text += "K " + std::to_string(id.first) + " " + field(key.name) + "\n";
        for (const auto& [lower, entry] : key.values) {
            const std::string data(entry.second.data.begin(), entry.second.data.end());
            text += "V " + std::to_string(id.first) + " " + field(key.name) + " " + field(entry.first) + " " +
                    std::to_string(entry.second.type) + " " + field(data) + "\n";
        }
    }
    std::error_code ec;
    std::filesystem::create_directories(RegistryFile().parent_path(), ec);
    return WriteFileAtomically(RegistryFile(), text);
}

bool IsRoot(int32_t root)
{
    return root >= HKEY_CLASSES_ROOT && root <= static_cast<int32_t>(0x80000006u);
}

std::vector<uint8_t> Le32(int32_t v)
{
    const auto u = static_cast<uint32_t>(v);
    return {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8), static_cast<uint8_t>(u >> 16),
            static_cast<uint8_t>(u >> 24)};
}

} // namespace

void SetRegistryFile(const std::filesystem::path& file) { FileSetting() = file; }

std::filesystem::path RegistryFile()
{
    if (!FileSetting().empty())
        return FileSetting();
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home ? home : ".") / "Vexal" / "Registry.dat";
}

bool KeyExists(int32_t root, const std::string& key)
{
    const Store store = Load();
    return store.count({root, vb::LCase(NormalKey(key))}) > 0;
}

bool ReadRawValue(int32_t root, const std::string& key, const std::string& name, StoredValue& value)
{
    const Store store = Load();
    const auto k = store.find({root, vb::LCase(NormalKey(key))});
    if (k == store.end())
        return false;
    const auto v = k->second.values.find(vb::LCase(name));
    if (v == k->second.values.end())
        return false;
    value = v->second.second;
    return true;
}

bool WriteRawValue(int32_t root, const std::string& key, const std::string& name, const StoredValue& value)
{
    if (!IsRoot(root))
        return false;
    Store store = Load();
    Key& k = store[{root, vb::LCase(NormalKey(key))}];
    if (k.name.empty())
        k.name = NormalKey(key);
    k.values[vb::LCase(name)] = {name, value};
    return Save(store);
}

std::string ExpandEnvironmentStrings(const std::string& text)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto open = text.find('%', i);
        if (open == std::string::npos) {
            out += text.substr(i);
            break;
        }
        const auto close = text.find('%', open + 1);
        if (close == std::string::npos) {
            out += text.substr(i);
            break;
        }
        out += text.substr(i, open - i);
        const std::string name = text.substr(open + 1, close - open - 1);
        const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
        if (value) {
            out += value;
            i = close + 1;
        } else {
            out += text.substr(open, close - open);
            i = close; // the closing "%" may open the next reference
        }
    }
    return out;
}

RegValue cRegistry::Value()
{
    StoredValue stored;
    if (!ReadRawValue(classKey_, sectionKey_, valueKey_, stored))
        return {};
    valueType_ = stored.type;
    const std::string bytes(stored.data.begin(), stored.data.end());
    auto text = [&bytes] {
        std::string t = bytes;
        if (!t.empty() && t.back() == '\0')
            t.pop_back();
        return t;
    };
    switch (stored.type) {
    case REG_SZ:
    case REG_MULTI_SZ:
        return text();
    case REG_EXPAND_SZ:
        return ExpandEnvironmentStrings(text());
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN: {
        if (stored.data.size() < 4)
            return stored.data; // not a number after all: its bytes
        const auto& d = stored.data;
        const uint32_t u = stored.type == REG_DWORD
                               ? d[0] | (d[1] << 8) | (d[2] << 16) | (static_cast<uint32_t>(d[3]) << 24)
                               : d[3] | (d[2] << 8) | (d[1] << 16) | (static_cast<uint32_t>(d[0]) << 24);
        return static_cast<int32_t>(u);
    }
    default:
        // Bytes come back exactly as they were written.
        return stored.data;
    }
}

std::string cRegistry::FailureText(const RegValue& v) const
{
    std::string shown;
    if (const auto* s = std::get_if<std::string>(&v))
        shown = *s;
    else if (const auto* i = std::get_if<int16_t>(&v))
        shown = std::to_string(*i);
    else if (const auto* l = std::get_if<int32_t>(&v))
        shown = std::to_string(*l);
    return "Failed to set registry value Key: '" + std::to_string(classKey_) + "',Section: '" + sectionKey_ +
           "',Key: '" + valueKey_ + "' to value: '" + shown + "'";
}

void cRegistry::Value(const RegValue& v)
{
    const std::string source = "Vexal.cRegistry";
    if (!IsRoot(classKey_))
        throw VbError(RegistryKeyError, FailureText(v), source);
    StoredValue stored;
    bool write = true;
    bool ok = true;
    switch (valueType_) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        std::string text;
        if (const auto* s = std::get_if<std::string>(&v))
            text = *s;
        else if (const auto* i = std::get_if<int16_t>(&v))
            text = std::to_string(*i);
        else if (const auto* l = std::get_if<int32_t>(&v))
            text = std::to_string(*l);
        // Two "%" with something between them make expandable text.
        const auto first = text.find('%');
        bool expandable = false;
        for (auto a = first; a != std::string::npos && !expandable;) {
            const auto b = text.find('%', a + 1);
            if (b == std::string::npos)
                break;
            expandable = b > a + 1;
            a = b;
        }
        stored.type = expandable ? REG_EXPAND_SZ : REG_SZ;
        stored.data.assign(text.begin(), text.end());
        stored.data.push_back(0);
        break;
    }
    case REG_BINARY: {
        const auto* bytes = std::get_if<std::vector<uint8_t>>(&v);
        if (!bytes)
            throw VbError(RegistryKeyError, "");
        stored.type = REG_BINARY;
        stored.data = *bytes;
        break;
    }
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
        if (const auto* i = std::get_if<int16_t>(&v)) {
            stored = {REG_DWORD, Le32(*i)};
        } else if (const auto* l = std::get_if<int32_t>(&v)) {
            stored = {REG_DWORD, Le32(*l)};
        } else {
            // Not a number: nothing is written, and the caller learns that it was not.
            ok = false;
            write = false;
        }
        break;
    default:
        ok = false;
        write = false;
    }
    if (write)
        ok = WriteRawValue(classKey_, sectionKey_, valueKey_, stored);
    if (!ok)
        throw VbError(RegistryWriteError, FailureText(v), source);
    lastValue_ = v;
}

} // namespace vexal
