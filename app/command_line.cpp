#include "app/command_line.h"

#include <cctype>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string upper(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The tokens, split at blanks outside quotation marks; the marks go.
std::vector<std::string> tokens(const std::string& line)
{
    std::vector<std::string> out;
    std::string token;
    bool quoted = false, any = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            any = true;
        } else if (isBlank(c) && !quoted) {
            if (any)
                out.push_back(token);
            token.clear();
            any = false;
        } else {
            token += c;
            any = true;
        }
    }
    if (any)
        out.push_back(token);
    return out;
}

enum class CValue { none, optional, required };

struct CKnown {
    const char* key;
    CValue value;
};

// Longest keys first: "/DIR=..." is not "/D" with "IR=...".
const CKnown kKnown[] = {
    {"DIR", CValue::required}, {"LOG", CValue::optional}, {"PP", CValue::optional},
    {"U", CValue::none},       {"B", CValue::none},       {"Q", CValue::none},
    {"?", CValue::none},       {"D", CValue::required},
};

// The switch a token names, with its value; false when it names none the
// program can use.
bool readSwitch(const std::string& token, std::string& key, std::string& value)
{
    if (token.size() < 2 || token[0] != '/')
        return false;
    std::string name = token.substr(1);
    std::string upperName = upper(name);
    for (const CKnown& known : kKnown) {
        std::size_t length = std::char_traits<char>::length(known.key);
        if (upperName.compare(0, length, known.key) != 0)
            continue;
        bool separated = name.size() > length && (name[length] == ':' || name[length] == '=');
        // Only the source folder follows its letter straight away, and
        // then as a drive or a share ("/DC:\DIST\").
        std::string rest = name.size() > length ? name.substr(length) : std::string();
        bool attached = !separated && std::string(known.key) == "D" &&
                        ((rest.size() >= 2 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == ':') ||
                         rest.compare(0, 2, "\\\\") == 0);
        if (name.size() > length && !separated && !attached)
            continue;
        key = known.key;
        value = separated ? name.substr(length + 1) : attached ? name.substr(length) : std::string();
        bool given = separated || attached;
        if (known.value == CValue::none && given)
            return false;
        if (known.value == CValue::required && value.empty())
            return false;
        return true;
    }
    return false;
}

} // namespace

CCommandLine ParseCommandLine(const std::string& commandLine)
{
    CCommandLine line;
    for (const std::string& token : tokens(commandLine)) {
        std::string key, value;
        if (readSwitch(token, key, value)) {
            // A folder's closing backslash doubled by a quoting program
            // ("C:\X\\" for "C:\X\") is one backslash.
            while (value.size() >= 2 && value[value.size() - 1] == '\\' && value[value.size() - 2] == '\\')
                value.pop_back();
            line.switches[key] = value;
        }
        else
            line.refused.push_back(token);
    }
    return line;
}
