// The in-memory profile against the platform's own profile calls: every
// question asked of both for the same file, tricky files from a table and
// generated ones, and files the image wrote read back through the platform.
#include "profile/profile_file.h"

#include "tests/support/scratch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

namespace {

std::string escaped(const std::string& bytes, std::size_t limit = 1500)
{
    std::string out;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        auto c = static_cast<unsigned char>(bytes[i]);
        if (c == '\n')
            out += "\\n\n";
        else if (c < 32 || c > 126 || c == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else
            out += static_cast<char>(c);
    }
    if (bytes.size() > limit)
        out += "... (" + std::to_string(bytes.size()) + " bytes)";
    return out;
}

std::string trim(const std::string& text)
{
    std::size_t begin = text.find_first_not_of(" \t"), end = text.find_last_not_of(" \t");
    return begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
}

// The names of a platform list ("a\0b\0\0").
std::vector<std::string> listed(const std::vector<char>& buffer, DWORD length)
{
    std::vector<std::string> names;
    for (std::size_t at = 0; at < length && buffer[at];) {
        names.emplace_back(&buffer[at]);
        at += names.back().size() + 1;
    }
    return names;
}

// A literal with NULs in it, all of it.
template <std::size_t N> std::string bytes(const char (&text)[N])
{
    return std::string(text, N - 1);
}

struct Query {
    const char* section;
    const char* key;
    std::string fallback;
    DWORD size;
};

// Asks the platform and the image the same questions about one file.
class Differential {
public:
    Differential(const std::string& path, std::string label)
        : m_path(path), m_label(std::move(label))
    {
        EXPECT_TRUE(m_image.load(path)) << m_label;
    }
    // An image already made, edited perhaps, of the file at path.
    Differential(const std::string& path, std::string label, CProfileFile image)
        : m_path(path), m_label(std::move(label)), m_image(std::move(image))
    {
    }

    // Compares one answer, buffer and all; false (once reported) on a difference.
    bool ask(const Query& q)
    {
        std::vector<char> platform(q.size + 4, '\x5A'), image(q.size + 4, '\x5A');
        DWORD p = GetPrivateProfileStringA(q.section, q.key, q.fallback.c_str(), platform.data(),
                                           q.size, m_path.c_str());
        DWORD i = m_image.getString(q.section, q.key, q.fallback.c_str(), image.data(), q.size);
        if (p == i && platform == image)
            return true;
        if (++m_failures <= 3)
            ADD_FAILURE()
                << m_label << ": section " << (q.section ? "[" + escaped(q.section) + "]" : "null")
                << " key " << (q.key ? "[" + escaped(q.key) + "]" : "null") << " default ["
                << escaped(q.fallback) << "] size " << q.size << "\nplatform " << p << " ["
                << escaped(std::string(platform.data(), std::min<std::size_t>(p + 2, q.size)))
                << "]\nimage    " << i << " ["
                << escaped(std::string(image.data(), std::min<std::size_t>(i + 2, q.size)))
                << "]\nfile:\n"
                << escaped(ReadWholeFile(m_path));
        return false;
    }

    std::vector<std::string> platformList(const char* section)
    {
        std::vector<char> buffer(1 << 18);
        DWORD n = GetPrivateProfileStringA(section, nullptr, "", buffer.data(),
                                           DWORD(buffer.size()), m_path.c_str());
        return listed(buffer, n);
    }

    // Sections, keys and values: the names the file has and near misses of
    // them (other case, blanks around), with buffers small and large.
    void askEverything(std::mt19937& rng, const std::vector<std::string>& extraSections,
                       const std::vector<std::string>& extraKeys)
    {
        auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
        ask({nullptr, nullptr, "", 1 << 18});
        ask({nullptr, nullptr, "", DWORD(1 + pick(40))});

        std::vector<std::string> sections = platformList(nullptr);
        EXPECT_EQ(m_image.sectionNames(), sections) << m_label;
        sections.insert(sections.end(), extraSections.begin(), extraSections.end());
        std::set<std::string> seen;
        for (std::size_t n = sections.size(), i = 0; i < n; ++i) {
            std::string s = sections[i];
            std::string upper = s, lower = s;
            for (auto& c : upper)
                c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            for (auto& c : lower)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            for (const std::string& v : {s, upper, lower, " " + s + "\t"})
                if (seen.insert(v).second && seen.size() < 14)
                    askSection(v, extraKeys, pick);
        }
    }

    CProfileFile& image() { return m_image; }
    int failures() const { return m_failures; }

private:
    template <class Pick>
    void askSection(const std::string& s, const std::vector<std::string>& extraKeys, Pick pick)
    {
        const char* defaults[] = {"", "dflt", "  pad  ", "\"q\"", "'", "   ", "'x\""};
        const char* section = s.c_str();
        ask({section, nullptr, "", 1 << 18});
        ask({section, nullptr, defaults[pick(7)], DWORD(2 + pick(30))});
        std::vector<std::string> keys = platformList(section);
        EXPECT_EQ(m_image.keyNames(s),
                  std::vector<std::string>(keys.begin(), std::find(keys.begin(), keys.end(), "")))
            << m_label << " [" << escaped(s) << "]";
        keys.insert(keys.end(), extraKeys.begin(), extraKeys.end());
        std::set<std::string> seen;
        for (const std::string& k : keys) {
            // A longer name can't be asked: the platform's conversion of its
            // arguments to Unicode fails beyond 32,766 characters.
            if (!seen.insert(k).second || seen.size() > 24 || k.size() > 32766)
                continue;
            ask({section, k.c_str(), "", 255});
            ask({section, k.c_str(), defaults[pick(7)], DWORD(2 + pick(8))});
            // Around the value's own length, where the quotes come off or not.
            std::vector<char> whole(1 << 18);
            DWORD n = GetPrivateProfileStringA(section, k.c_str(), "", whole.data(),
                                               DWORD(whole.size()), m_path.c_str());
            for (DWORD size : {n, n + 1, n + 2, n + 3})
                if (size >= 2)
                    ask({section, k.c_str(), defaults[pick(7)], size});
            std::string value;
            bool has = m_image.value(s, k, value);
            std::string platformValue(whole.data(), n);
            if (has ? value != platformValue : n != 0)
                ADD_FAILURE() << m_label << " value of [" << escaped(s) << "] " << escaped(k)
                              << ": " << escaped(value) << " against " << escaped(platformValue);
        }
    }

    std::string m_path;
    std::string m_label;
    CProfileFile m_image;
    int m_failures = 0;
};

const std::vector<std::string> kSections = {"s", "Grup A", "a]b", "\xC0gua", "", "missing", "x=y"};
const std::vector<std::string> kKeys = {"k",     "key",   "Key 2", ";c", "[x",   "a b",
                                        "\xC9s", "\xE9s", "",      "=",  "noeq", "q"};

// Files whose every line is a trap: the table the rules were found with.
const std::vector<std::pair<const char*, std::string>> kTricky = {
    {"CR only", "[s]\rk=1\rkey=2\r[Grup A]\rk=3\r"},
    {"LF only, no final break", "[s]\nk=1\nkey=2\n[Grup A]\nk=3"},
    {"CRLF and mixed runs", "[s]\r\n\r\nk=1\n\r\r\nkey=2\r\n\n[Grup A]\r\n  \r\nk=3\r\n"},
    {"duplicate sections and keys", "[s]\nk=1\nk=2\nK=3\n[S]\nkey=4\nk=5\n[s]\nq=6\n"},
    {"blanks around = and names",
     "[ s ]\n  k  =  v  \n\tkey\t=\tw\t\n Key 2 = \x1A x \x1A\n[\tGrup A\t]\nk=\x0B\x0C y\n"},
    {"quotes",
     "[s]\nk=\"quoted\"\nkey='single'\nq=\"\nnoeq='\"\nKey 2=\"\"\na b=''\n;c=\"x\nx=\"a\"b\"\n"},
    {"missing ] and junk after ]",
     "[s\nk=1\n[Grup A] junk\nkey=2\n[a]b]\nq=3\n[]\nk=4\n[   ]\nkey=5\n"},
    {"keys without = and empty keys",
     "top=0\n[s]\nnoeq\n=first\n=second\nk=1\n=third\n  =  fourth\nkey=\n=\n"},
    {"nameless key first", "[s]\n=v\nk=1\n"},
    {"comments and blanks", "; head\n[s]\n;c=1\n; k=2\nk=3\n\n   \n\t\n;\nkey=4\n"},
    {"case of names", "[\xC0gua]\n\xC9s=1\n\xE9s=2\nK=3\nk=4\n[GRUP a]\nKEY=5\n"},
    {"characters above 127", "[s]\nk=\x80\x81\x8D\x8F\x90\x9D\xA0\xFF\nkey="
                             "\xE0\xE8\xE9\xED\xF2\xF3\xFA\xE7\xB7\n\xA0k\xA0=\xA0v\xA0\n"},
    {"NUL bytes", bytes("[s\0x]\nk\0z=1\nkey=a\0b\n[Grup A]\nk=2\n")},
    {"long lines", "[s]\nk=" + std::string(300, 'a') + "\nkey=" + std::string(1100, 'b') +
                       "\nq=" + std::string(70000, 'c') + "\n[" + std::string(300, 'S') +
                       "]\nk=1\n" + std::string(70000, 'x') + "=2\n"},
    {"long quoted values", "[s]\nk=\"" + std::string(253, 'a') + "\"\nkey=\"" +
                               std::string(254, 'b') + "\"\nq='" + std::string(255, 'c') +
                               "'\nnoeq=\"" + std::string(256, 'd') + "\"\n"},
    {"empty file", ""},
    {"only blanks", "\n\r\n   \n"},
    {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF[s]\nk=\xC3\xA9s\n\xC3\x80gua=1\n"},
    {"UTF-16 with a byte-order mark", bytes("\xFF\xFE[\0s\0]\0\n\0k\0=\0\xE9\0\n\0")},
};

TEST(ProfileFile, ReadsTheTrickyFilesAsThePlatformDoes)
{
    CScratchFolder scratch;
    std::mt19937 rng(1);
    int n = 0;
    for (const auto& tricky : kTricky) {
        std::string name = "tricky" + std::to_string(n++) + ".ini";
        scratch.write(name, tricky.second);
        Differential d(scratch / name, tricky.first);
        d.askEverything(rng, kSections, kKeys);
    }
}

// A file of random lines made of the pieces the rules care about.
std::string randomProfile(std::mt19937& rng)
{
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    const char* blanks[] = {"", "", " ", "\t", "  ", "\x0B", "\x0C", "\x1A", "\xA0"};
    const char* breaks[] = {"\r\n", "\n", "\r", "\n\r", "\r\r\n", "\n\n", "\r\n\r\n"};
    auto blank = [&] { return std::string(blanks[pick(9)]); };
    auto name = [&](const std::vector<std::string>& pool) {
        std::string n = pool[pick(pool.size())];
        if (pick(4) == 0)
            for (auto& c : n)
                c = static_cast<char>(pick(2) ? std::toupper(static_cast<unsigned char>(c))
                                              : std::tolower(static_cast<unsigned char>(c)));
        return n;
    };
    auto noise = [&](std::size_t length) {
        std::string s;
        for (std::size_t i = 0; i < length; ++i) {
            char c = static_cast<char>(1 + pick(255));
            if (pick(60) == 0)
                c = '\0';
            if (c != '\r' && c != '\n')
                s += c;
        }
        return s;
    };
    auto value = [&]() -> std::string {
        switch (pick(10)) {
        case 0: return "\"" + noise(pick(6)) + "\"";
        case 1: return "'" + noise(pick(4)) + (pick(2) ? "'" : "\"");
        case 2: return noise(pick(12));
        case 3: return std::string(pick(2) ? "\"" : "'");
        case 4: return std::string(250 + pick(10), 'v');
        case 5: return "a|b=c]";
        default: return "v" + std::to_string(pick(100));
        }
    };
    std::string text;
    std::size_t lines = 3 + pick(25);
    for (std::size_t i = 0; i < lines; ++i) {
        switch (pick(12)) {
        case 0:
        case 1:
            text += blank() + "[" + blank() + name(kSections) + blank() + (pick(8) ? "]" : "") +
                    (pick(6) ? "" : "x]y") + blank();
            break;
        case 2: text += blank() + name(kKeys) + blank(); break;
        case 3: text += blank() + "=" + blank() + value(); break;
        case 4: text += ";" + noise(pick(8)); break;
        case 5: text += blank() + blank(); break;
        case 6: text += noise(pick(20)); break;
        default: text += blank() + name(kKeys) + blank() + "=" + blank() + value() + blank(); break;
        }
        if (i + 1 < lines || pick(3))
            text += breaks[pick(7)];
    }
    return text;
}

TEST(ProfileFile, ReadsGeneratedFilesAsThePlatformDoes)
{
    CScratchFolder scratch;
    std::mt19937 rng(20240611);
    for (int i = 0; i < 150; ++i) {
        std::string name = "gen" + std::to_string(i) + ".ini";
        scratch.write(name, randomProfile(rng));
        Differential d(scratch / name, "generated file " + std::to_string(i));
        d.askEverything(rng, kSections, kKeys);
        if (d.failures() > 0)
            break;
    }
}

struct Edit {
    enum { set, removeKey, removeSection } kind;
    std::string section, key, value;
};

// Makes the edits through an image and saves it; done gets the returns.
CProfileFile editThroughImage(const std::string& path, const std::vector<Edit>& edits,
                              std::vector<bool>& done)
{
    CProfileFile image;
    EXPECT_TRUE(image.load(path));
    done.clear();
    for (const Edit& e : edits) {
        switch (e.kind) {
        case Edit::set: done.push_back(image.setValue(e.section, e.key, e.value)); break;
        case Edit::removeKey: done.push_back(image.deleteKey(e.section, e.key)); break;
        case Edit::removeSection: done.push_back(image.deleteSection(e.section)); break;
        }
    }
    EXPECT_TRUE(image.save());
    EXPECT_EQ(GetFileAttributesA((path + ".new").c_str()), INVALID_FILE_ATTRIBUTES);
    return image;
}

// The same edits through the platform's writes. It removes one line a call
// and finds the names to remove untrimmed.
void editThroughPlatform(const std::string& path, const std::vector<Edit>& edits,
                         const std::vector<bool>& done)
{
    for (std::size_t i = 0; i < edits.size(); ++i) {
        const Edit& e = edits[i];
        if (!done[i])
            continue;
        for (int r = 0; r < (e.kind == Edit::set ? 1 : 8); ++r)
            WritePrivateProfileStringA(
                trim(e.section).c_str(),
                e.kind == Edit::removeSection ? nullptr : trim(e.key).c_str(),
                e.kind == Edit::set ? e.value.c_str() : nullptr, path.c_str());
    }
}

// Edits made through the image and saved read back through the platform as
// the image answers, and as the same edits made by the platform's own writes.
TEST(ProfileFile, WritesFilesThePlatformReadsBackTheSame)
{
    CScratchFolder scratch;
    std::mt19937 rng(77);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(rng() % n); };
    const std::vector<std::string> sections = {"s",   "S",    " s ", "Grup A",
                                               "new", "New ", "a]b", "\xC0gua"};
    const std::vector<std::string> keys = {"k",  "K",     "key", " Key 2 ", "q",
                                           ";c", "fresh", "x=y", "[x",      ""};
    const std::vector<std::string> values = {"1",     "  lead", "trail  ", "\"quoted\"",
                                             "'",     "a|b|c",  "",        std::string(300, 'w'),
                                             "\xE9s", "x]"};
    for (int i = 0; i < 60 && !HasFailure(); ++i) {
        std::string original = randomProfile(rng);
        std::vector<Edit> edits;
        for (int e = 0; e < 8; ++e) {
            std::size_t kind = pick(8);
            edits.push_back({kind == 0   ? Edit::removeKey
                             : kind == 1 ? Edit::removeSection
                                         : Edit::set,
                             sections[pick(sections.size())], keys[pick(keys.size())],
                             values[pick(values.size())]});
        }

        // The saved file answers as the edited image does.
        std::string name = "w" + std::to_string(i) + ".ini";
        scratch.write(name, original);
        std::vector<bool> done;
        CProfileFile edited = editThroughImage(scratch / name, edits, done);
        for (std::size_t e = 0; e < edits.size(); ++e)
            if (edits[e].kind == Edit::set) {
                const std::string& k = edits[e].key;
                bool valid = !k.empty() && k.find('=') == std::string::npos &&
                             k.find('[') == std::string::npos;
                EXPECT_EQ(done[e], valid) << escaped(k);
            }
        Differential saved(scratch / name, "saved file " + std::to_string(i), edited);
        std::mt19937 same(i);
        saved.askEverything(same, sections, keys);

        // And as the platform's own edits. Its writer drops the header of a
        // section without a name, which puts that section's keys into the one
        // before: both start from a file it has written once already.
        std::string mine = "m" + std::to_string(i) + ".ini",
                    theirs = "p" + std::to_string(i) + ".ini";
        for (const std::string& copy : {mine, theirs}) {
            scratch.write(copy, original);
            WritePrivateProfileStringA("zz once", "k", "v", (scratch / copy).c_str());
            WritePrivateProfileStringA("zz once", nullptr, nullptr, (scratch / copy).c_str());
        }
        std::vector<bool> again;
        editThroughImage(scratch / mine, edits, again);
        EXPECT_EQ(again, done);
        editThroughPlatform(scratch / theirs, edits, done);
        CProfileFile a, b;
        a.load(scratch / mine);
        b.load(scratch / theirs);
        EXPECT_EQ(a.sectionNames(), b.sectionNames()) << escaped(original);
        for (const std::string& s : sections) {
            EXPECT_EQ(a.keyNames(s), b.keyNames(s)) << escaped(original);
            for (const std::string& k : keys) {
                std::string x, y;
                bool hasX = a.value(s, k, x), hasY = b.value(s, k, y);
                EXPECT_TRUE(hasX == hasY && x == y)
                    << "[" << s << "] " << k << ": " << x << " / " << y << "\n"
                    << escaped(original);
            }
        }
    }
}

// A key line that starts with "=" counts only after a key with a name: once
// the named key before it is gone, it is read as the platform reads the file.
TEST(ProfileFile, NamelessKeysAfterARemovedKeyReadAsTheSavedFile)
{
    CScratchFolder scratch;
    scratch.write("n.ini", "[s]\nx=0\n=a\nk=1\n=b\n=c\nq=2\n");
    std::vector<bool> done;
    CProfileFile edited =
        editThroughImage(scratch / "n.ini", {{Edit::removeKey, "s", "k", ""}}, done);
    EXPECT_EQ(done, std::vector<bool>{true});
    Differential saved(scratch / "n.ini", "nameless keys", edited);
    std::mt19937 rng(3);
    saved.askEverything(rng, kSections, kKeys);
}

TEST(ProfileFile, KeepsWhatItDoesNotUnderstandAndWritesOnlyWhatChanged)
{
    CScratchFolder scratch;
    const std::string file = scratch / "log.ini";
    const std::string before = "; kept as it is\n[Events]\n  12:00:00:0001 = started  \n\n"
                               "odd line\n[Base]\nA.DLL=0|1|0\n\n\n[Other]\nB=1";
    scratch.write("log.ini", before);

    CProfileFile image;
    ASSERT_TRUE(image.load(file));
    EXPECT_TRUE(image.setValue("base", "B.DLL", "0|1|1"));
    EXPECT_TRUE(image.setValue("Base", "a.dll", "-3|1|1"));
    EXPECT_TRUE(image.setValue("Other", "C", "2"));
    EXPECT_TRUE(image.setValue("Fresh", "D", "3"));
    ASSERT_TRUE(image.save());
    EXPECT_EQ(ReadWholeFile(file),
              "; kept as it is\n[Events]\n  12:00:00:0001 = started  \n\n"
              "odd line\n[Base]\nA.DLL=-3|1|1\nB.DLL=0|1|1\n\n\n[Other]\nB=1\r\nC=2\r\n"
              "[Fresh]\r\nD=3\r\n");

    EXPECT_TRUE(image.deleteKey("BASE", "a.dll"));
    EXPECT_FALSE(image.deleteKey("Base", "a.dll"));
    EXPECT_TRUE(image.deleteSection("other"));
    EXPECT_FALSE(image.setValue("Base", "bad\nkey", "1"));
    EXPECT_FALSE(image.setValue("Base", "k", "two\rlines"));
    ASSERT_TRUE(image.save());
    EXPECT_EQ(ReadWholeFile(file), "; kept as it is\n[Events]\n  12:00:00:0001 = started  \n\n"
                                   "odd line\n[Base]\nB.DLL=0|1|1\n\n\n[Fresh]\r\nD=3\r\n");

    // A missing file is an empty profile that saving creates; a folder that
    // isn't there leaves nothing to save.
    CProfileFile fresh;
    EXPECT_TRUE(fresh.load(scratch / "new.ini"));
    EXPECT_TRUE(fresh.sectionNames().empty());
    EXPECT_TRUE(fresh.setValue("s", "k", "v"));
    ASSERT_TRUE(fresh.save());
    EXPECT_EQ(ReadWholeFile(scratch / "new.ini"), "[s]\r\nk=v\r\n");
    CProfileFile nowhere;
    EXPECT_FALSE(nowhere.load(scratch / "no folder\\x.ini"));
    EXPECT_FALSE(nowhere.setValue("s", "k", "v"));
    EXPECT_FALSE(nowhere.save());
}

} // namespace
