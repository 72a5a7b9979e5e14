#pragma once
// The text of the per-user settings file in the INI form the settings store (QSettings) reads
// and earlier versions of the program had it write: where each entry lies and the key path the
// store files it under, and the edit of one entry that leaves every other byte of the file as
// the user wrote it (comments, order, blank lines, line ends, a UTF-8 mark).
#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexal {

// An entry of the text as the store reads it: its key path ("Vexal/Settings/WebSite" for the
// key Settings\WebSite of the section [Vexal]), where its bytes lie (a quote or a backslash may
// run it over several lines) and its value as written.
struct SettingsTextEntry {
    std::size_t line = 0;       // the line it starts on
    std::size_t begin = 0;      // its bytes in the text, without the line end after it
    std::size_t end = 0;
    std::size_t valueBegin = 0; // its value's bytes, without the blanks around them
    std::size_t valueEnd = 0;
    std::size_t section = 0;    // the section it is written under (its index in SettingsText::sections)
    std::string key;            // as the file writes it
    QString path;
    bool found = false;         // a path the store can be asked for (no empty part)
    std::string value;          // as the file writes it, without the blanks around it
    bool plainValue = false;    // a value the store gives back as the file writes it
};

// A section heading of the text, or the top of the text before any heading: the key path its
// entries start with ("Vexal/", empty for the top level and [General]).
struct SettingsTextSection {
    std::size_t headingEnd = 0; // where the heading's line ends (0 for the top of the text)
    QString prefix;
};

// A settings file's text as the store reads it: its sections and its entries, in the order
// the file writes them.
struct SettingsText {
    std::vector<SettingsTextSection> sections;
    std::vector<SettingsTextEntry> entries;

    static SettingsText Read(std::string_view text);
};

// The text with every entry of the key path `path` holding `value` in the store's own
// spelling, or, when the text has none, with one entry added after the last entry of the
// section that holds the path's group (a [Vexal] section appended when there is none), on a
// line of its own ended as the text's first line is. Every other byte stays as it is. Empty
// (nullopt) when the edit would not read back as the value (an open quote running on to the
// end of the text before the new entry).
std::optional<std::string> SettingsTextWithValue(std::string_view text, const QString& path, const QString& value);
// The text without the entries of the key path `path` (a comment after one on its line stays).
std::string SettingsTextWithout(std::string_view text, const QString& path);

// A key path relative to its section and a value as the store writes them
// ("Preference\Min%20Games", "\"a, b\"").
std::string SettingsKeyText(const QString& relativePath);
std::string SettingsValueText(const QString& value);

} // namespace vexal
