// The user's name, entity and the date of the installation, kept in the
// product's registry key and taken, on a first installation, from the
// installation profile's "license" section or from the user-data page.
#pragma once

#include <string>

class CProfileFile;

struct CUserInfo {
    std::string name;
    std::string company;
    std::string date;

    // From the product key when it holds a name, else from the profile's
    // "license" section; true when a name or an entity was found.
    bool Read(const CProfileFile& profile);
    // Stamps today's date and stores the record in the product key when
    // that key exists; it is never created here.
    void Write();
};

// The options file ovca40.ini in the Windows folder: where the product is
// and which option is set. Rewritten on every run that registers.
void WriteOptionsFile(const std::string& installFolder);
// ovca40.ini in the Windows folder, where the platform keeps it.
std::string OptionsFilePath();
