// A fresh folder under the temporary folder, removed again with everything
// in it: the scratch area of every test that touches files, on both sides.
#pragma once

#include <string>

class CScratchFolder {
public:
    CScratchFolder();
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    // The folder with its trailing separator ("\" on Windows, "/" elsewhere).
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + name; }

    // Writes a file with these bytes, creating missing folders.
    void write(const std::string& relative, const std::string& bytes) const;

private:
    std::string m_path;
};
