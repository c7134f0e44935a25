// Adds one entry to one section of a text file in the profile syntax while
// keeping every other line, duplicate keys included. The platform's
// profile-string calls keep one value per key, which wininit.ini's
// "rename" section can't live with.
#pragma once

#include <functional>
#include <string>

class CIniLineEditor {
public:
    explicit CIniLineEditor(const std::string& file);

    // The whole edit at once: the entry goes at the end of the section
    // (before the next header), or into a new section at the end of the
    // file; a missing file is created. An identical entry (keys and values
    // compared without case, blanks around "=" ignored) is not added again.
    // The new text is written beside the file and then put in its place in
    // one step, so the file is never lost half-way. True when the file holds
    // the entry afterwards. Raises CXFileException when the new text can't
    // be given a file of its own.
    bool AddEntry(const std::string& section, const std::string& key, const std::string& value);

    // Takes every entry of the section identical to key = value (compared
    // as AddEntry does) out of the file, the same way; true when the file
    // no longer holds one.
    bool RemoveEntry(const std::string& section, const std::string& key, const std::string& value);

    bool changed() const { return m_changed; }

private:
    // Writes edit(the file's text) beside the file and puts it in its place;
    // an unchanged text leaves the file alone.
    bool rewrite(const std::function<std::string(const std::string&)>& edit);
    std::string editedText(const std::string& text);
    bool isSameEntry(const std::string& line) const;

    std::string m_file;
    std::string m_tempFile;
    std::string m_section;
    std::string m_currentSection;
    std::string m_key;
    std::string m_value;
    std::string m_line;
    bool m_written = false;
    bool m_alreadyPresent = false;
    bool m_changed = false;
};

// Puts newFile in the place of file with renames only, for systems without
// a replacing move: the old file is moved aside first and only deleted once
// the new one is in place; if that fails, the old one is moved back.
bool SwapInByRenames(const std::string& newFile, const std::string& file);
