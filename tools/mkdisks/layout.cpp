#include "layout.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

std::string trim(const std::string& s)
{
    std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return "";
    std::size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string lower(std::string s)
{
    for (auto& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

class Parser {
public:
    explicit Parser(const std::string& path) : m_path(path) {}

    [[noreturn]] void fail(const std::string& what) const { failAt(m_line, what); }
    [[noreturn]] void failAt(int line, const std::string& what) const
    {
        throw LayoutError(m_path + ":" + std::to_string(line) + ": " + what);
    }

    Layout parse();

private:
    void section(const std::string& header);
    void entry(const std::string& key, const std::string& value);
    void distributionKey(const std::string& key, const std::string& value);
    void downloadKey(const std::string& key, const std::string& value);
    void checkDownload() const;
    void memberLine(const std::string& value);

    int number(const std::string& v, long lo, long hi) const;
    bool flag(const std::string& v) const;
    std::uint32_t time(const std::string& v) const;
    int destination(const std::string& v) const;
    std::string text(const std::string& v) const;   // a profile value: Windows-1252, no '|'
    std::string version(const std::string& v) const; // digits and dots, a number first
    unsigned attribute(const std::string& word) const;
    // A manifest text: UTF-8 on one line, of min to max characters.
    std::string manifestText(const std::string& v, std::size_t min, std::size_t max) const;

    std::string m_path;
    int m_line = 0;
    Layout m_layout;
    std::string m_kind;    // section kind, "" before the first
    std::string m_name;
    void* m_current = nullptr;
};

Layout Parser::parse()
{
    std::ifstream in(m_path, std::ios::binary);
    if (!in)
        throw LayoutError(m_path + ": cannot be read");
    m_layout.file = m_path;
    fs::path base = fs::path(m_path).parent_path();
    m_layout.sources = base.empty() ? "." : base.string();
    std::string line;
    while (std::getline(in, line)) {
        ++m_line;
        if (m_line == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
        std::string t = trim(line);
        if (t.empty() || t[0] == '#' || t[0] == ';')
            continue;
        if (t[0] == '[') {
            if (t.back() != ']')
                fail("a section header ends with ']'");
            section(trim(t.substr(1, t.size() - 2)));
            continue;
        }
        std::size_t eq = t.find('=');
        if (eq == std::string::npos)
            fail("expected 'key = value', '[section]' or a comment");
        if (m_kind.empty())
            fail("'" + trim(t.substr(0, eq)) + "' comes before any section");
        entry(lower(trim(t.substr(0, eq))), trim(t.substr(eq + 1)));
    }
    checkDownload();
    return m_layout;
}

void Parser::section(const std::string& header)
{
    std::size_t sp = header.find_first_of(" \t");
    m_kind = lower(header.substr(0, sp));
    m_name = sp == std::string::npos ? "" : trim(header.substr(sp));
    auto needName = [&] {
        if (m_name.empty())
            fail("[" + m_kind + "] needs a name: [" + m_kind + " NAME]");
    };
    if (m_kind == "distribution" || m_kind == "license") {
        if (!m_name.empty())
            fail("[" + m_kind + "] takes no name");
    } else if (m_kind == "download") {
        if (!m_name.empty())
            fail("[download] takes no name");
        if (m_layout.download)
            fail("[download] is described twice (line " + std::to_string(m_layout.download->line) + ")");
        m_layout.download.emplace();
        m_layout.download->line = m_line;
    } else if (m_kind == "disk") {
        needName();
        int n = number(m_name, 1, 99);
        m_current = &m_layout.disks[n];
    } else if (m_kind == "destination") {
        needName();
        LayoutDestination d;
        d.id = number(m_name, 0, 32767);
        for (const auto& other : m_layout.destinations)
            if (other.id == d.id)
                fail("destination " + m_name + " is described twice");
        m_layout.destinations.push_back(d);
        m_current = &m_layout.destinations.back();
    } else if (m_kind == "group") {
        needName();
        if (m_name.find_first_of("[]|=") != std::string::npos)
            fail("a group name can't hold '[', ']', '|' or '='");
        for (const auto& g : m_layout.groups)
            if (g.name == m_name)
                fail("group " + m_name + " is described twice");
        LayoutGroup g;
        g.name = text(m_name);
        m_layout.groups.push_back(g);
        m_current = &m_layout.groups.back();
    } else if (m_kind == "archive" || m_kind == "file") {
        needName();
        LayoutItem item;
        item.isArchive = m_kind == "archive";
        item.name = text(m_name);
        item.line = m_line;
        if (!item.isArchive)
            item.source = m_name;
        m_layout.items.push_back(item);
        m_current = &m_layout.items.back();
    } else if (m_kind == "target") {
        needName();
        LayoutTarget t;
        t.name = text(m_name);
        m_layout.targets.push_back(t);
        m_current = &m_layout.targets.back();
    } else {
        fail("unknown section [" + header + "]; see tools/mkdisks/README.md");
    }
}

void Parser::entry(const std::string& key, const std::string& value)
{
    auto unknown = [&]() { fail("unknown key '" + key + "' in [" + m_kind + (m_name.empty() ? "" : " " + m_name) + "]"); };
    if (m_kind == "distribution") {
        distributionKey(key, value);
    } else if (m_kind == "download") {
        downloadKey(key, value);
    } else if (m_kind == "license") {
        if (key != "name" && key != "company" && key != "date")
            unknown();
        m_layout.license.emplace_back(key, text(value));
    } else if (m_kind == "disk") {
        auto& d = *static_cast<LayoutDisk*>(m_current);
        if (key == "label") d.label = text(value);
        else if (key == "extra") d.extra = text(value);
        else unknown();
    } else if (m_kind == "destination") {
        auto& d = *static_cast<LayoutDestination*>(m_current);
        if (key == "folder" || key == "name") d.name = text(value);
        else if (key == "parent") d.parent = destination(value);
        else if (key == "path") d.path = text(value);
        else unknown();
    } else if (m_kind == "group") {
        auto& g = *static_cast<LayoutGroup*>(m_current);
        if (key == "title") g.title = text(value);
        else if (key == "description") g.description = text(value);
        else if (key == "minimum") g.minimum = flag(value);
        else if (key == "typical") g.typical = flag(value);
        else if (key == "selectable") g.selectable = flag(value);
        else unknown();
    } else if (m_kind == "archive" || m_kind == "file") {
        auto& item = *static_cast<LayoutItem*>(m_current);
        if (key == "group") item.group = value;
        else if (key == "text") item.text = text(value);
        else if (key == "time") item.time = time(value);
        else if (item.isArchive && key == "member") memberLine(value);
        else if (item.isArchive && key == "compress") item.method = lower(value) == "auto" ? 0 : flag(value) ? 4 : 2;
        else if (!item.isArchive && key == "source") item.source = value;
        else if (!item.isArchive && key == "destination") item.destination = destination(value);
        else if (!item.isArchive && key == "userdata") item.userData = flag(value);
        else if (!item.isArchive && key == "attributes") {
            item.attributes = 0;
            std::istringstream words(value);
            for (std::string w; words >> w;)
                item.attributes |= attribute(w);
        } else unknown();
    } else if (m_kind == "target") {
        auto& t = *static_cast<LayoutTarget*>(m_current);
        if (key == "title") t.title = text(value);
        else if (key == "arguments") t.arguments = text(value);
        else if (key == "icon-file") t.iconFile = text(value);
        else if (key == "icon-index") t.iconIndex = number(value, -32768, 32767);
        else if (key == "minimised" || key == "minimized") t.minimised = flag(value);
        else unknown();
    }
}

void Parser::distributionKey(const std::string& key, const std::string& value)
{
    if (key == "capacity") m_layout.capacity = static_cast<std::uint32_t>(number(value, 4096, 2147483647));
    else if (key == "cluster") m_layout.cluster = static_cast<std::uint32_t>(number(value, 1, 65536));
    else if (key == "installer") m_layout.installer = value;
    else if (key == "licence" || key == "license") m_layout.licence = value;
    else if (key == "time") m_layout.time = time(value);
    else if (key == "sources") m_layout.sources = (fs::path(m_layout.sources) / value).string();
    else if (key == "version") m_layout.version = version(value);
    else if (key == "publisher") m_layout.publisher = text(value);
    else if (key == "url-info") m_layout.urlInfoAbout = text(value);
    else if (key == "help-link") m_layout.helpLink = text(value);
    else fail("unknown key '" + key + "' in [distribution]");
}

// The manifest's checks in brief: what its schema would refuse is refused
// here, with the line, rather than by the package repository's robot.
void Parser::downloadKey(const std::string& key, const std::string& value)
{
    auto& d = *m_layout.download;
    auto isAlnum = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; };
    if (key == "file") {
        std::string stem = lower(value).substr(0, value.find('.'));
        static const std::set<std::string> devices = {"con", "prn", "aux", "nul", "clock$"};
        bool port = stem.size() == 4 && (stem.compare(0, 3, "com") == 0 || stem.compare(0, 3, "lpt") == 0) &&
                    std::isdigit(static_cast<unsigned char>(stem[3]));
        bool device = port || devices.count(stem);
        bool good = value.size() > 4 && lower(value.substr(value.size() - 4)) == ".exe" && !device &&
                    value.front() != ' ' && value.front() != '.' && toWindows1252(value) &&
                    value.find_first_of("<>:\"/\\|?*") == std::string::npos;
        if (!good)
            fail("'" + value + "' is no plain Windows file name ending in .exe");
        d.file = value;
    } else if (key == "url") {
        std::string l = lower(value);
        std::size_t scheme = l.compare(0, 8, "https://") == 0 ? 8 : l.compare(0, 7, "http://") == 0 ? 7 : 0;
        if (scheme == 0 || value.size() == scheme || value.size() > 2048 ||
            std::any_of(value.begin(), value.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; }))
            fail("'" + value + "' is no web address: write https://...");
        d.url = value;
    } else if (key == "package") {
        // Publisher.Name, each part as the package repository's folders take it.
        std::size_t parts = 0;
        std::istringstream in(value);
        bool good = !value.empty() && value.size() <= 128 && value.back() != '.';
        for (std::string part; good && std::getline(in, part, '.'); ++parts)
            good = !part.empty() && part.size() <= 32 &&
                   std::all_of(part.begin(), part.end(), [&](char c) { return isAlnum(c) || c == '-'; });
        if (!good || parts < 2 || parts > 8)
            fail("'" + value + "' is no package identifier: write Publisher.Name (letters, digits, '-')");
        d.package = value;
    } else if (key == "name") {
        // The installer writes it through the code page as a registry key's name.
        text(value);
        if (value.find('\\') != std::string::npos)
            fail("'" + value + "' holds '\\', which no registry key's name can");
        d.name = manifestText(value, 2, 256);
    } else if (key == "license" || key == "licence") {
        d.license = manifestText(value, 3, 512);
    } else if (key == "description") {
        d.description = manifestText(value, 3, 256);
    } else if (key == "locale") {
        std::istringstream in(value);
        std::string part;
        bool good = std::getline(in, part, '-') && (part.size() == 2 || part.size() == 3) &&
                    std::all_of(part.begin(), part.end(), [](char c) { return std::isalpha(static_cast<unsigned char>(c)); });
        while (good && std::getline(in, part, '-'))
            good = !part.empty() && part.size() <= 8 && std::all_of(part.begin(), part.end(), isAlnum);
        if (!good || value.back() == '-')
            fail("'" + value + "' is no locale: write language-REGION, as ca-ES");
        d.locale = value;
    } else if (key == "architecture") {
        if (value != "x64" && value != "x86")
            fail("'" + value + "' is no architecture: write x64 or x86");
        d.architecture = value;
    } else {
        fail("unknown key '" + key + "' in [download]");
    }
}

void Parser::checkDownload() const
{
    if (!m_layout.download)
        return;
    const auto& d = *m_layout.download;
    const std::pair<const char*, const std::string*> required[] = {
        {"file", &d.file}, {"url", &d.url}, {"package", &d.package}, {"name", &d.name},
        {"license", &d.license}, {"description", &d.description}};
    for (const auto& r : required)
        if (r.second->empty())
            failAt(d.line, std::string("[download] needs '") + r.first + " ='");
    if (m_layout.version.empty() || m_layout.publisher.empty())
        failAt(d.line, "[download] needs 'version =' and 'publisher =' in [distribution]");
}

// member = SOURCE -> DESTINATION [as NAME] [readonly] [hidden] [system] [noarchive] [stored]
//          [userdata] [time=...]
void Parser::memberLine(const std::string& value)
{
    auto& item = *static_cast<LayoutItem*>(m_current);
    std::size_t arrow = value.find("->");
    if (arrow == std::string::npos)
        fail("a member reads 'member = SOURCE -> DESTINATION [options]'");
    LayoutMember m;
    m.line = m_line;
    m.method = item.method;
    m.source = trim(value.substr(0, arrow));
    if (m.source.empty())
        fail("the member has no source file");
    std::istringstream words(value.substr(arrow + 2));
    std::string w;
    if (!(words >> w))
        fail("the member has no destination after '->'");
    m.destination = destination(w);
    m.name = text(fs::path(m.source).filename().string());
    while (words >> w) {
        std::string lw = lower(w);
        if (lw == "as") {
            if (!(words >> w))
                fail("'as' needs a file name");
            m.name = text(w);
        } else if (lw == "stored") {
            m.method = 2;
        } else if (lw == "zlib") {
            m.method = 4;
        } else if (lw == "userdata") {
            m.userData = true;
        } else if (lw == "noarchive") {
            m.attributes &= ~0x20u;
        } else if (lw.compare(0, 5, "time=") == 0) {
            m.time = time(w.substr(5));
        } else {
            m.attributes |= attribute(lw);
        }
    }
    if (m.name.size() >= 260)
        fail("the member name is longer than 259 characters");
    item.members.push_back(m);
}

int Parser::number(const std::string& v, long lo, long hi) const
{
    std::string s = trim(v);
    char* end = nullptr;
    long n = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end != '\0' || n < lo || n > hi)
        fail("'" + v + "' is not a number from " + std::to_string(lo) + " to " + std::to_string(hi));
    return static_cast<int>(n);
}

bool Parser::flag(const std::string& v) const
{
    std::string s = lower(v);
    if (s == "yes" || s == "true" || s == "1")
        return true;
    if (s == "no" || s == "false" || s == "0")
        return false;
    fail("'" + v + "' is neither yes nor no");
}

std::uint32_t Parser::time(const std::string& v) const
{
    auto t = parseTime(v);
    if (!t)
        fail("'" + v + "' is no time: write YYYY-MM-DD HH:MM:SS (UTC)");
    return *t;
}

int Parser::destination(const std::string& v) const
{
    static const std::map<std::string, int> names = {
        {"app", 0}, {"none", -1}, {"windows", -2}, {"system", -3}, {"temp", -4}};
    auto it = names.find(lower(v));
    if (it != names.end())
        return it->second;
    return number(v, -4, 32767);
}

std::string Parser::text(const std::string& v) const
{
    auto converted = toWindows1252(v);
    if (!converted)
        fail("'" + v + "' holds a character that Windows-1252 lacks (or is not UTF-8)");
    if (converted->find('|') != std::string::npos)
        fail("'" + v + "' holds '|', which separates the profile's fields");
    if (converted->size() > 254)
        fail("'" + v + "' is longer than the 254 characters a profile value holds");
    return *converted;
}

std::string Parser::version(const std::string& v) const
{
    bool good = !v.empty() && std::isdigit(static_cast<unsigned char>(v[0])) && v.size() <= 32;
    for (char c : v)
        good = good && (std::isdigit(static_cast<unsigned char>(c)) || c == '.');
    if (!good || v.back() == '.')
        fail("'" + v + "' is no version: write numbers and dots, as 4.0.1");
    return v;
}

std::string Parser::manifestText(const std::string& v, std::size_t min, std::size_t max) const
{
    // Well-formed UTF-8 and no control characters: what a quoted YAML
    // scalar on one line can hold.
    std::size_t characters = 0;
    for (std::size_t i = 0; i < v.size(); ++characters) {
        unsigned char c = static_cast<unsigned char>(v[i]);
        std::size_t extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : 9;
        bool good = extra < 4 && i + extra < v.size() && (c >= 0x20 || c == '\t') && c != 0x7F;
        for (std::size_t k = 1; good && k <= extra; ++k)
            good = (static_cast<unsigned char>(v[i + k]) & 0xC0) == 0x80;
        if (!good)
            fail("'" + v + "' is not UTF-8 text on one line");
        i += 1 + extra;
    }
    if (characters < min || characters > max)
        fail("'" + v + "' is not of " + std::to_string(min) + " to " + std::to_string(max) + " characters");
    return v;
}

unsigned Parser::attribute(const std::string& word) const
{
    std::string w = lower(word);
    if (w == "readonly" || w == "read-only") return 0x01;
    if (w == "hidden") return 0x02;
    if (w == "system") return 0x04;
    if (w == "archive") return 0x20;
    fail("unknown option '" + word + "'");
}

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
long daysFromCivil(long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

} // namespace

std::optional<std::uint32_t> parseTime(const std::string& text)
{
    std::string s = trim(text);
    if (!s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); })) {
        unsigned long long n = std::stoull(s.size() > 12 ? "99999999999" : s);
        if (n > 0xFFFFFFFFull)
            return std::nullopt;
        return static_cast<std::uint32_t>(n);
    }
    int y, mo, d, h = 0, mi = 0, sec = 0;
    char tail;
    if (std::sscanf(s.c_str(), "%4d-%2d-%2d%*[ T]%2d:%2d:%2d%c", &y, &mo, &d, &h, &mi, &sec, &tail) != 6 &&
        std::sscanf(s.c_str(), "%4d-%2d-%2d%c", &y, &mo, &d, &tail) != 3)
        return std::nullopt;
    if (y < 1970 || mo < 1 || mo > 12 || d < 1 || d > 31 || h > 23 || mi > 59 || sec > 59 || h < 0 || mi < 0 || sec < 0)
        return std::nullopt;
    long long t = daysFromCivil(y, static_cast<unsigned>(mo), static_cast<unsigned>(d)) * 86400LL + h * 3600 + mi * 60 + sec;
    if (t < 0 || t > 0xFFFFFFFFLL)
        return std::nullopt;
    return static_cast<std::uint32_t>(t);
}

namespace {

// Windows-1252 places 0x80-0x9F differently from Latin-1.
const std::map<unsigned, unsigned char>& windows1252Extras()
{
    static const std::map<unsigned, unsigned char> extras = {
        {0x20AC, 0x80}, {0x201A, 0x82}, {0x0192, 0x83}, {0x201E, 0x84}, {0x2026, 0x85}, {0x2020, 0x86},
        {0x2021, 0x87}, {0x02C6, 0x88}, {0x2030, 0x89}, {0x0160, 0x8A}, {0x2039, 0x8B}, {0x0152, 0x8C},
        {0x017D, 0x8E}, {0x2018, 0x91}, {0x2019, 0x92}, {0x201C, 0x93}, {0x201D, 0x94}, {0x2022, 0x95},
        {0x2013, 0x96}, {0x2014, 0x97}, {0x02DC, 0x98}, {0x2122, 0x99}, {0x0161, 0x9A}, {0x203A, 0x9B},
        {0x0153, 0x9C}, {0x017E, 0x9E}, {0x0178, 0x9F}};
    return extras;
}

} // namespace

std::optional<std::string> toWindows1252(const std::string& utf8)
{
    const auto& extras = windows1252Extras();
    std::string out;
    for (std::size_t i = 0; i < utf8.size();) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        unsigned cp;
        int extra;
        if (c < 0x80) { cp = c; extra = 0; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; }
        else return std::nullopt;
        if (i + static_cast<std::size_t>(extra) >= utf8.size() && extra > 0)
            return std::nullopt;
        for (int k = 1; k <= extra; ++k) {
            unsigned char cc = static_cast<unsigned char>(utf8[i + k]);
            if ((cc & 0xC0) != 0x80)
                return std::nullopt;
            cp = (cp << 6) | (cc & 0x3F);
        }
        i += 1 + extra;
        if (cp < 0x20 && cp != '\t')
            return std::nullopt;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
        } else {
            auto it = extras.find(cp);
            if (it == extras.end())
                return std::nullopt;
            out += static_cast<char>(it->second);
        }
    }
    return out;
}

std::string fromWindows1252(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        unsigned cp = static_cast<unsigned char>(ch);
        if (cp >= 0x80 && cp < 0xA0)
            for (const auto& e : windows1252Extras())
                if (e.second == cp)
                    cp = e.first;
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | cp >> 6);
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | cp >> 12);
            out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }
    return out;
}

Layout readLayout(const std::string& path)
{
    return Parser(path).parse();
}
