#include "system/shared_dll_count.h"

#include <limits>

namespace {
// The counts of shared files live where the 32-bit programs that load the
// files keep theirs, also when this installer runs as a 64-bit program.
constexpr REGSAM kSharedView = KEY_WOW64_32KEY;
}

CSharedDllCount::CSharedDllCount(const std::string& file, const CRegistryPlace& place)
    : m_file(file), m_root(place.root), m_keyName(place.sharedDllsKey())
{
    // Only an existing key is opened: reading must not create it.
    if (m_key.open(m_root, m_keyName, kSharedView))
        m_count = m_key.readDword(m_file).value_or(0);
}

CSharedDllCount::~CSharedDllCount()
{
    if (m_count != 0) {
        if (m_key.isOpen() || m_key.create(m_root, m_keyName, kSharedView))
            m_key.writeDword(m_file, m_count);
    } else if (m_key.isOpen()) {
        // The file is no longer shared by anyone who counted it.
        m_key.deleteValue(m_file);
        // A list left empty is as good as none: it goes, as it came.
        bool empty = m_key.isEmpty();
        m_key.close();
        if (empty)
            CRegKey::deleteKey(m_root, m_keyName, kSharedView);
    }
    m_key.close();
}

void CSharedDllCount::increment()
{
    // A count at its limit stays there; wrapping to 0 would drop the value.
    if (m_count != std::numeric_limits<std::uint32_t>::max())
        ++m_count;
}

void CSharedDllCount::decrement()
{
    if (m_count > 0)
        --m_count;
}

void CSharedDllCount::release(std::uint32_t count)
{
    m_count = m_count > count ? m_count - count : 0;
}
