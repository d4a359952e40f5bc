#pragma once
// Byte streams under the multi-language formats: a stream reads and writes raw bytes at a
// position; the exact reads raise EReadError when fewer bytes remain, so that no reader
// ever runs past the end of what it was given. All integers are little-endian.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>
#include "base/errors.h"

namespace mltlang {

// The stream's read error: the stream ended before a value was complete, or held a value
// no reader could accept.
class EReadError : public base::Exception {
public:
    explicit EReadError(const std::string& message = "Stream read error") : Exception(message) {}
};

class EWriteError : public base::Exception {
public:
    explicit EWriteError(const std::string& message = "Stream write error") : Exception(message) {}
};

// A file that cannot be opened or created.
class EFOpenError : public base::Exception {
public:
    using Exception::Exception;
};

class TStream {
public:
    virtual ~TStream() = default;

    // Plain read and write: as many bytes as possible, returns how many.
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    virtual std::uint64_t Position() const = 0;
    virtual std::uint64_t Size() const = 0;
    virtual void Seek(std::uint64_t position) = 0;

    std::uint64_t Remaining() const;
    // Exact read and write: all count bytes or EReadError / EWriteError.
    void ReadBuffer(void* buffer, std::size_t count);
    void WriteBuffer(const void* buffer, std::size_t count);

    std::uint8_t ReadByte();
    std::int16_t ReadInt16();
    std::int32_t ReadInt32();
    void WriteByte(std::uint8_t value);
    void WriteInt16(std::int16_t value);
    void WriteInt32(std::int32_t value);
};

// A stream over bytes held in memory; it grows as it is written.
class TMemoryStream : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::span<const std::uint8_t> bytes);

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::uint64_t Position() const override { return m_position; }
    std::uint64_t Size() const override { return m_bytes.size(); }
    void Seek(std::uint64_t position) override;

    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<std::uint8_t> m_bytes;
    std::size_t m_position = 0;
};

// A file opened for reading, or created (emptied when it exists) for writing.
class TFileStream : public TStream {
public:
    enum Mode { fmOpenRead, fmCreate };
    // Raises EFOpenError naming the file when it cannot be opened or created.
    TFileStream(const std::string& fileName, Mode mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::uint64_t Position() const override;
    std::uint64_t Size() const override;
    void Seek(std::uint64_t position) override;
    // Writes what is buffered; raises EWriteError when the file system refuses it.
    void Flush();

private:
    std::FILE* m_file = nullptr;
    bool m_writing = false;
    std::uint64_t m_readSize = 0;
};

}  // namespace mltlang
