#include "platform/resource_string.h"

std::string LoadResourceString(unsigned)
{
    return std::string();
}
