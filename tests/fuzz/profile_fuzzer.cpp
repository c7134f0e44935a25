// libFuzzer target over the reader of profile files: the installation
// profile on the disks and the install log (which is also the uninstall
// profile) are both read by it. Whatever the bytes, reading and asking must
// never crash, and an entry set through the image must read back the same
// after the image is written out and read again.
#include "profile/profile_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CProfileFile image;
    image.readText(std::string(reinterpret_cast<const char*>(data), size));
    char small[8];
    image.getString(nullptr, nullptr, "", small, sizeof small);
    std::string value;
    for (const std::string& section : image.sectionNames()) {
        image.getString(section.c_str(), nullptr, "x", small, sizeof small);
        for (const std::string& key : image.keyNames(section)) {
            image.value(section, key, value);
            image.getString(section.c_str(), key.c_str(), "", small, sizeof small);
        }
    }
    if (image.setValue("Programa", "ovca40.exe", "0|1|0|0")) {
        CProfileFile again;
        again.readText(image.bytes());
        if (!again.value("Programa", "ovca40.exe", value) || value != "0|1|0|0")
            std::abort();
        again.deleteKey("Programa", "ovca40.exe");
        CProfileFile third;
        third.readText(again.bytes());
        if (third.value("Programa", "ovca40.exe", value))
            std::abort();
    }
    return 0;
}
