// Texts of the program's string table.
#pragma once

#include <string>

// The string with that id in the system code page; empty when there is none.
// Off Windows there is no string table, so every text is empty.
std::string LoadResourceString(unsigned id);
