#include "stream.h"

#include <algorithm>
#include <cstring>

namespace mltlang {

std::uint64_t TStream::Remaining() const {
    const std::uint64_t size = Size();
    const std::uint64_t position = Position();
    return position < size ? size - position : 0;
}

void TStream::ReadBuffer(void* buffer, std::size_t count) {
    if (Read(buffer, count) != count) throw EReadError();
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
    if (Write(buffer, count) != count) throw EWriteError();
}

std::uint8_t TStream::ReadByte() {
    std::uint8_t value = 0;
    ReadBuffer(&value, 1);
    return value;
}

std::int16_t TStream::ReadInt16() {
    std::uint8_t b[2];
    ReadBuffer(b, 2);
    return static_cast<std::int16_t>(b[0] | (b[1] << 8));
}

std::int32_t TStream::ReadInt32() {
    std::uint8_t b[4];
    ReadBuffer(b, 4);
    const std::uint32_t value = std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) |
                                (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24);
    return static_cast<std::int32_t>(value);
}

void TStream::WriteByte(std::uint8_t value) { WriteBuffer(&value, 1); }

void TStream::WriteInt16(std::int16_t value) {
    const auto u = static_cast<std::uint16_t>(value);
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8)};
    WriteBuffer(b, 2);
}

void TStream::WriteInt32(std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8),
                               static_cast<std::uint8_t>(u >> 16),
                               static_cast<std::uint8_t>(u >> 24)};
    WriteBuffer(b, 4);
}

TMemoryStream::TMemoryStream(std::span<const std::uint8_t> bytes)
    : m_bytes(bytes.begin(), bytes.end()) {}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    const std::size_t available = m_position < m_bytes.size() ? m_bytes.size() - m_position : 0;
    const std::size_t n = std::min(count, available);
    if (n > 0) std::memcpy(buffer, m_bytes.data() + m_position, n);
    m_position += n;
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return 0;
    if (m_position + count > m_bytes.size()) m_bytes.resize(m_position + count);
    std::memcpy(m_bytes.data() + m_position, buffer, count);
    m_position += count;
    return count;
}

void TMemoryStream::Seek(std::uint64_t position) {
    m_position = static_cast<std::size_t>(std::min<std::uint64_t>(position, m_bytes.size()));
}

TFileStream::TFileStream(const std::string& fileName, Mode mode)
    : m_file(std::fopen(fileName.c_str(), mode == fmCreate ? "wb" : "rb")),
      m_writing(mode == fmCreate) {
    if (m_file == nullptr) {
        throw EFOpenError((mode == fmCreate ? "Cannot create file " : "Cannot open file ") +
                          fileName);
    }
    if (!m_writing) {
        // The size of a file being read is taken once: readers bound their allocations by it.
        std::fseek(m_file, 0, SEEK_END);
        const long end = std::ftell(m_file);
        std::fseek(m_file, 0, SEEK_SET);
        m_readSize = end < 0 ? 0 : static_cast<std::uint64_t>(end);
    }
}

TFileStream::~TFileStream() { std::fclose(m_file); }

std::size_t TFileStream::Read(void* buffer, std::size_t count) {
    return m_writing ? 0 : std::fread(buffer, 1, count, m_file);
}

std::size_t TFileStream::Write(const void* buffer, std::size_t count) {
    return m_writing ? std::fwrite(buffer, 1, count, m_file) : 0;
}

std::uint64_t TFileStream::Position() const {
    const long position = std::ftell(m_file);
    return position < 0 ? 0 : static_cast<std::uint64_t>(position);
}

std::uint64_t TFileStream::Size() const {
    if (!m_writing) return m_readSize;
    const long here = std::ftell(m_file);
    std::fseek(m_file, 0, SEEK_END);
    const long end = std::ftell(m_file);
    std::fseek(m_file, here, SEEK_SET);
    return end < 0 ? 0 : static_cast<std::uint64_t>(end);
}

void TFileStream::Seek(std::uint64_t position) {
    std::fseek(m_file, static_cast<long>(position), SEEK_SET);
}

void TFileStream::Flush() {
    if (std::fflush(m_file) != 0 || std::ferror(m_file) != 0) throw EWriteError();
}

}  // namespace mltlang
