// What CFile does the same on every platform: the window of an open part
// over the backend's calls on the whole file.
#include "platform/file.h"

#include "platform/exception.h"

#include <algorithm>

void CFile::openPart(const std::string& path, std::uint64_t offset, std::uint64_t length)
{
    open(path, modeRead);
    std::uint64_t whole = lengthRaw();
    if (offset > whole || length > whole - offset)
        fail(CFileException::endOfFile);
    seekRaw(static_cast<std::int64_t>(offset), fromBegin);
    m_part.active = true;
    m_part.begin = m_part.at = offset;
    m_part.end = offset + length;
}

void CFile::open(const CFilePart& part)
{
    if (part.length == CFilePart::whole && part.offset == 0)
        open(part.path, modeRead);
    else
        openPart(part.path, part.offset, part.length);
}

std::size_t CFile::read(void* buffer, std::size_t count)
{
    if (!m_part.active)
        return readRaw(buffer, count);
    std::uint64_t left = m_part.end > m_part.at ? m_part.end - m_part.at : 0;
    std::size_t done = readRaw(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(count, left)));
    m_part.at += done;
    return done;
}

std::uint64_t CFile::seek(std::int64_t offset, SeekFrom from)
{
    if (!m_part.active)
        return seekRaw(offset, from);
    std::int64_t base = static_cast<std::int64_t>(from == fromBegin ? m_part.begin
                                                  : from == fromCurrent ? m_part.at
                                                                        : m_part.end);
    std::int64_t target = base + offset;
    if (target < static_cast<std::int64_t>(m_part.begin))
        fail(CFileException::badSeek);
    m_part.at = seekRaw(target, fromBegin);
    return m_part.at - m_part.begin;
}

std::uint64_t CFile::position() const
{
    if (!m_part.active)
        return positionRaw();
    return m_part.at - m_part.begin;
}

std::uint64_t CFile::length() const
{
    if (!m_part.active)
        return lengthRaw();
    return m_part.end - m_part.begin;
}
