// Texts of the program's string table.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <string>

// The string with that id in the system code page; empty when there is none.
// Off Windows there is no string table, so every text is empty.
std::string LoadResourceString(unsigned id);

// The string with that id used as a printf format with the arguments, cut to
// fit a buffer of `size` characters with its terminator.
std::string FormatResourceString(std::size_t size, unsigned id, ...);
std::string FormatResourceStringV(std::size_t size, unsigned id, va_list args);
