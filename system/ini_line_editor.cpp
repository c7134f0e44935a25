#include "system/ini_line_editor.h"

#include "errors/x_exception.h"
#include "platform/path.h"

#include <windows.h>

#include <algorithm>
#include <functional>

namespace {

// Lines this program adds end as Windows text files do.
constexpr const char* kNewLine = "\r\n";

class CHandle {
public:
    explicit CHandle(HANDLE handle) : m_handle(handle) {}
    ~CHandle() { close(); }
    CHandle(const CHandle&) = delete;
    CHandle& operator=(const CHandle&) = delete;
    bool valid() const { return m_handle != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return m_handle; }
    bool close()
    {
        bool closed = true;
        if (valid())
            closed = CloseHandle(m_handle) != FALSE;
        m_handle = INVALID_HANDLE_VALUE;
        return closed;
    }

private:
    HANDLE m_handle;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string trimLeft(const std::string& s)
{
    std::size_t start = 0;
    while (start < s.size() && isBlank(s[start]))
        ++start;
    return s.substr(start);
}

std::string trimRight(const std::string& s)
{
    std::size_t end = s.size();
    while (end > 0 && isBlank(s[end - 1]))
        --end;
    return s.substr(0, end);
}

std::string withoutLineBreak(const std::string& line)
{
    std::size_t end = line.size();
    while (end > 0 && (line[end - 1] == '\n' || line[end - 1] == '\r'))
        --end;
    return line.substr(0, end);
}

bool sameText(const std::string& a, const std::string& b)
{
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, a.data(),
                          static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

enum class CReadResult { read, missing, unreadable };

CReadResult readWholeFile(const std::string& path, std::string& text)
{
    text.clear();
    CHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                   ? CReadResult::missing
                   : CReadResult::unreadable;
    }
    char buffer[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr))
            return CReadResult::unreadable;
        if (got == 0)
            return CReadResult::read;
        text.append(buffer, got);
    }
}

bool writeAll(HANDLE file, const std::string& text)
{
    std::size_t done = 0;
    while (done < text.size()) {
        DWORD wrote = 0;
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size() - done, 1 << 20));
        if (!WriteFile(file, text.data() + done, chunk, &wrote, nullptr) || wrote == 0)
            return false;
        done += wrote;
    }
    return FlushFileBuffers(file) != FALSE;
}

// Moves newFile over file in one step; without a replacing move (the
// systems that need wininit.ini have none), by renames that keep the old
// file until the new one is in place.
bool putInPlace(const std::string& newFile, const std::string& file)
{
    if (MoveFileExA(newFile.c_str(), file.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    return SwapInByRenames(newFile, file);
}

} // namespace

bool SwapInByRenames(const std::string& newFile, const std::string& file)
{
    if (!CPath(file).exists())
        return CPath(newFile).renameTo(file);
    CPath place(file);
    std::string asideName = place.freshTempName(place.ext());
    if (asideName.empty())
        return false;
    std::string aside = place.folderText() + asideName;
    if (!CPath(file).renameTo(aside))
        return false;
    if (!CPath(newFile).renameTo(file)) {
        CPath(aside).renameTo(file);
        return false;
    }
    CPath(aside).remove();
    return true;
}

CIniLineEditor::CIniLineEditor(const std::string& file) : m_file(file)
{
}

bool CIniLineEditor::AddEntry(const std::string& section, const std::string& key,
                              const std::string& value)
{
    m_section = section;
    m_key = key;
    m_value = value;
    m_line = key + "=" + value + kNewLine;
    m_currentSection.clear();
    m_written = m_alreadyPresent = m_changed = false;
    return rewrite([this](const std::string& text) {
        std::string edited = editedText(text);
        return m_alreadyPresent ? text : edited;
    });
}

bool CIniLineEditor::RemoveEntry(const std::string& section, const std::string& key,
                                 const std::string& value)
{
    m_section = section;
    m_key = key;
    m_value = value;
    m_changed = false;
    return rewrite([this](const std::string& text) {
        std::string out, current;
        for (std::size_t pos = 0; pos < text.size();) {
            std::size_t end = text.find('\n', pos);
            end = end == std::string::npos ? text.size() : end + 1;
            std::string line = text.substr(pos, end - pos);
            pos = end;
            std::string trimmed = trimRight(trimLeft(line));
            if (!trimmed.empty() && trimmed[0] == '[')
                current = trimmed.size() >= 2 ? trimmed.substr(1, trimmed.size() - 2) : std::string();
            else if (sameText(current, m_section) && isSameEntry(line))
                continue;
            out += line;
        }
        return out;
    });
}

bool CIniLineEditor::rewrite(const std::function<std::string(const std::string&)>& edit)
{
    // The new text gets a fresh name beside the file: 8 hex digits with the
    // file's extension, never one that exists already.
    CPath place(m_file);
    std::string tempName = place.freshTempName(place.ext());
    if (tempName.empty())
        throw CXFileException(CFileException::directoryFull);
    m_tempFile = place.folderText() + tempName;
    CHandle temp(CreateFileA(m_tempFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!temp.valid())
        throw CXFileException(CFileException::causeFromOsError(GetLastError()));

    std::string text;
    CReadResult read = readWholeFile(m_file, text);
    bool ok = false;
    if (read != CReadResult::unreadable) {
        // A file that exists but can't be read is left alone: writing our
        // text in its place would throw away whatever it held.
        std::string edited = edit(text);
        if (edited == text) {
            ok = true;
        } else {
            m_changed = !edited.empty();
            bool saved = writeAll(temp.get(), edited);
            saved = temp.close() && saved;
            ok = saved && putInPlace(m_tempFile, m_file);
        }
    }
    temp.close();
    // Whatever happened, no temporary file is left behind.
    CPath(m_tempFile).remove();
    return ok;
}

std::string CIniLineEditor::editedText(const std::string& text)
{
    std::string out;
    out.reserve(text.size() + m_line.size() + m_section.size() + 4);
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(pos, end - pos);
        pos = end;
        if (!m_written) {
            std::string trimmed = trimRight(trimLeft(line));
            if (!trimmed.empty() && trimmed[0] == '[') {
                std::string name =
                    trimmed.size() >= 2 ? trimmed.substr(1, trimmed.size() - 2) : std::string();
                if (!sameText(m_currentSection, m_section)) {
                    m_currentSection = name;
                } else {
                    // The target section ends here.
                    out += m_line;
                    m_written = true;
                }
            } else if (sameText(m_currentSection, m_section) && isSameEntry(line)) {
                m_alreadyPresent = true;
                return text;
            }
        }
        out += line;
    }
    if (!m_written) {
        // A last line without its line break would run into ours.
        if (!out.empty() && out.back() != '\n')
            out += kNewLine;
        if (!sameText(m_currentSection, m_section))
            out += "[" + m_section + "]" + kNewLine;
        out += m_line;
        m_written = true;
    }
    return out;
}

bool CIniLineEditor::isSameEntry(const std::string& line) const
{
    std::string content = withoutLineBreak(line);
    std::size_t equals = content.find('=');
    if (equals == std::string::npos)
        return false;
    std::string key = trimRight(content.substr(0, equals));
    std::string value = trimLeft(content.substr(equals + 1));
    return sameText(key, m_key) && sameText(value, m_value);
}
