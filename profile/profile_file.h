// A private-profile file held in memory: read in one pass, then asked as the
// platform's profile calls would answer for that file, edited, and written
// back whole. Reading 10,000 records through the platform costs a call (and
// under Wine a parse of the whole file) per value; the image parses once.
//
// The rules are the platform's as measured under Wine (the differential test
// holds them): lines end at any run of CR and LF; blanks are tab to CR, ^Z
// and space; a section header is "[" up to the last "]" on its line, its name
// trimmed; a key ends at the first "=", both sides trimmed; names compare
// without regard to ASCII case; the first section and the first key of a name
// are the ones read; one pair of matching quotes around a value is dropped.
// Lines it doesn't understand are kept as they are.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

class CProfileFile {
public:
    // Reads the whole file. A bare file name means the Windows folder, as for
    // the platform. A missing file is an empty profile; false (and an image
    // that answers every read with its default) when the file can't be read.
    bool load(const std::string& path);
    const std::string& path() const { return m_path; }
    // The image of a file's bytes, as load reads them (also without a
    // file: the parsing is the same on every platform).
    void readText(const std::string& bytes);
    // The bytes save writes, in the file's own encoding.
    std::string bytes() const;
    // The bytes as they were read.
    const std::string& raw() const { return m_raw; }

    // What GetPrivateProfileStringA answers for this file, buffer and size
    // alike: a null section lists the sections, a null key a section's keys.
    std::uint32_t getString(const char* section, const char* key, const char* defaultValue,
                            char* buffer, std::uint32_t size) const;

    // The same answers without a buffer's limits.
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(const std::string& section) const;
    // False when the key is missing or its line has no "=".
    bool value(const std::string& section, const std::string& key, std::string& out) const;

    // Edits in memory, kept for save(). A new key goes to the end of its
    // section, a new section to the end of the file. Names and values the
    // file could not hold so that they read back the same (line breaks, a key
    // with "=" or starting with "[", empty names) are refused with false.
    bool setValue(const std::string& section, const std::string& key, const std::string& value);
    // Removes every line of that key in every section of that name, so that
    // no duplicate behind it comes to light (the platform removes one a call).
    bool deleteKey(const std::string& section, const std::string& key);
    // Removes every section of that name with its lines.
    bool deleteSection(const std::string& section);

    // Writes the text beside the file (path + ".new", which a save after a
    // killed one overwrites), flushes it and renames it over the file in one
    // step, so the file is whole at every moment.
    bool save() const;

private:
    enum Encoding { ansi, utf8, utf16le, utf16be };
    enum Kind : unsigned char { blank, header, entry, ignored, removed };
    struct Line {
        std::wstring text;      // as in the file, without its line break
        std::wstring lineBreak; // the run of CR and LF after it; empty at the end of the file
        Kind kind = blank;
        bool startsWithEquals = false;
        bool hasValue = false;
        std::wstring name; // section or key name, cut at a NUL as the platform's strings are
        std::wstring value;
    };
    struct Section {
        std::wstring name;
        bool removed = false;
        std::vector<Line> lines; // the header first, except in the section before any header
        std::unordered_map<std::wstring, std::vector<std::size_t>> keys; // folded name -> lines
    };

    // An empty image of the file at path.
    void reset(const std::string& path);
    void parse(const std::wstring& text);
    void classify(Line& line, const Line* previousKey) const;
    void addSection(std::wstring name);
    void reconsiderAfter(Section& section, std::size_t removedLine);
    const Section* findSection(const std::wstring& trimmedName) const;
    const Line* findKey(const std::wstring& section, const std::wstring& key) const;
    void appendKey(Section& section, const std::wstring& key, const std::wstring& value);
    std::wstring text() const;
    std::uint32_t sectionList(wchar_t* buffer, std::uint32_t size) const;
    std::uint32_t keyList(const std::wstring& section, wchar_t* buffer, std::uint32_t size) const;

    std::string m_path;
    std::string m_raw;
    bool m_readable = true;
    Encoding m_encoding = ansi;
    std::vector<Section> m_sections; // [0]: the lines before the first header
    std::unordered_map<std::wstring, std::vector<std::size_t>> m_sectionIndex;
};
