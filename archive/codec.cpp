#include "archive/codec.h"

#include "archive/entry_header.h"
#include "archive/span_file.h"
#include "archive/zlib_codec.h"
#include "platform/exception.h"

#include <algorithm>

// Binds input and output for one run and unbinds them however the run ends.
class CCodec::Binding {
public:
    Binding(CCodec& codec, CSpanFile& in, CSpanFile& out, bool& running) : m_codec(codec), m_running(running)
    {
        codec.input = &in;
        codec.output = &out;
        codec.aborted = false;
        codec.mismatch = false;
        running = true;
    }
    ~Binding()
    {
        m_running = false;
        m_codec.input = nullptr;
        m_codec.output = nullptr;
    }
    Binding(const Binding&) = delete;
    Binding& operator=(const Binding&) = delete;

private:
    CCodec& m_codec;
    bool& m_running;
};

void CCodec::encodeRun(CSpanFile& in, CSpanFile& out)
{
    Binding bound(*this, in, out, encoding);
    encode();
}

void CCodec::decodeRun(CSpanFile& in, CSpanFile& out, std::uint32_t storedSize,
                       std::uint32_t unpackedSize)
{
    Binding bound(*this, in, out, decoding);
    decode(storedSize, unpackedSize);
}

int CCodec::readByte()
{
    unsigned char b;
    return input->read(&b, 1) == 1 ? b : -1;
}

std::size_t CCodec::readBlock(void* buffer, std::size_t count)
{
    return input->read(buffer, count);
}

void CCodec::writeByte(unsigned char byte)
{
    output->write(&byte, 1);
}

void CCodec::writeBlock(const void* buffer, std::size_t count)
{
    output->write(buffer, count);
}

void CStoredCodec::encode()
{
    for (;;) {
        std::size_t n = readBlock(m_buffer.get(), bufferSize);
        if (n == 0)
            break;
        writeBlock(m_buffer.get(), n);
    }
}

// A stored member is exactly its storedSize bytes; unpackedSize plays no part.
void CStoredCodec::decode(std::uint32_t storedSize, std::uint32_t)
{
    std::uint32_t remaining = storedSize;
    while (remaining != 0) {
        std::size_t n = readBlock(m_buffer.get(), std::min<std::size_t>(remaining, bufferSize));
        if (n == 0)
            throw CFileException(CFileException::endOfFile, input->path());
        writeBlock(m_buffer.get(), n);
        remaining -= static_cast<std::uint32_t>(n);
    }
}

std::unique_ptr<CCodec> createCodec(std::uint32_t method, std::uint32_t)
{
    switch (method) {
    case EntryHeader::methodStored: return std::make_unique<CStoredCodec>();
    case EntryHeader::methodZLib: return std::make_unique<CZLibCodec>();
    default: return nullptr;
    }
}
