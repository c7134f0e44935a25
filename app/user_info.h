// The user's name, entity and the date of the installation.
#pragma once

#include <string>

struct CUserInfo {
    std::string name;
    std::string company;
    std::string date;
};
