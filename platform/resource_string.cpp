#include "platform/resource_string.h"

#include <cstdio>
#include <vector>

std::string FormatResourceStringV(std::size_t size, unsigned id, va_list args)
{
    if (size == 0)
        return std::string();
    std::string format = LoadResourceString(id);
    std::vector<char> buffer(size, '\0');
    // vsnprintf cuts a longer result and always terminates it.
    std::vsnprintf(buffer.data(), buffer.size(), format.c_str(), args);
    return buffer.data();
}

std::string FormatResourceString(std::size_t size, unsigned id, ...)
{
    va_list args;
    va_start(args, id);
    std::string text = FormatResourceStringV(size, id, args);
    va_end(args);
    return text;
}
