// The coders of archive members. A codec is bound for one run to an input
// and an output span file; every byte goes through their counted read and
// write, so the output's checksum and the archive's hooks see it all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

class CSpanFile;

class CCodec {
public:
    virtual ~CCodec() = default;

    // Asks the running decode to stop; looked at once the member is complete.
    void abort() { aborted = true; }
    bool wasAborted() const { return aborted; }

    // Encodes everything the input delivers into the output.
    void encodeRun(CSpanFile& in, CSpanFile& out);
    // Decodes one member of storedSize archive bytes into the output.
    void decodeRun(CSpanFile& in, CSpanFile& out, std::uint32_t storedSize,
                   std::uint32_t unpackedSize);

    // True when the last decode produced a length other than the one the
    // header gave (only a codec that knows its length can tell).
    bool lengthMismatch() const { return mismatch; }

protected:
    int readByte();   // -1 at the end of the input
    std::size_t readBlock(void* buffer, std::size_t count);
    void writeByte(unsigned char byte);
    void writeBlock(const void* buffer, std::size_t count);

    virtual void encode() = 0;
    virtual void decode(std::uint32_t storedSize, std::uint32_t unpackedSize) = 0;

    CSpanFile* input = nullptr;
    CSpanFile* output = nullptr;
    bool aborted = false;
    bool encoding = false;
    bool decoding = false;
    bool mismatch = false;

private:
    class Binding;
};

// Method 2: the member's bytes as they are.
class CStoredCodec : public CCodec {
protected:
    void encode() override;
    void decode(std::uint32_t storedSize, std::uint32_t unpackedSize) override;

private:
    static constexpr std::size_t bufferSize = 16384;
    std::unique_ptr<unsigned char[]> m_buffer{new unsigned char[bufferSize]};
};

// The factory: 2 stored, 4 zlib, anything else none. The parameter is carried
// for the format's sake; no codec uses it.
std::unique_ptr<CCodec> createCodec(std::uint32_t method, std::uint32_t parameter);
