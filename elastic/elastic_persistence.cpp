#include "elastic_persistence.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "rounding.h"
#include "track_limits.h"

namespace elastic {

namespace {

constexpr std::uint8_t kStateNormal = 0;
constexpr std::uint8_t kStateMaximized = 2;
constexpr std::size_t kLargestHeader = 4 + 1 + 4 * 8 + 4 + 4;

void putInt32(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

void putDouble(std::vector<std::uint8_t>& out, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    for (int shift = 0; shift < 64; shift += 8)
        out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

// Reads little-endian fields from a byte span; any read past the end fails the reader.
class FieldReader {
public:
    explicit FieldReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}
    bool failed() const { return m_failed; }
    std::size_t remaining() const { return m_bytes.size() - m_pos; }

    std::uint64_t unsignedField(int size) {
        if (remaining() < static_cast<std::size_t>(size)) {
            m_failed = true;
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = 0; i < size; ++i) value |= std::uint64_t{m_bytes[m_pos++]} << (8 * i);
        return value;
    }
    std::int32_t int32() {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(unsignedField(4)));
    }
    std::uint8_t byte() { return static_cast<std::uint8_t>(unsignedField(1)); }
    double float64() { return std::bit_cast<double>(unsignedField(8)); }

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_pos = 0;
    bool m_failed = false;
};

bool readVisibility(FieldReader& in, PersistedState& state) {
    if (in.remaining() < static_cast<std::size_t>(state.controlCount)) return false;
    state.visible.reserve(static_cast<std::size_t>(state.controlCount));
    for (std::int32_t i = 0; i < state.controlCount; ++i) {
        const std::uint8_t flag = in.byte();
        if (flag > 1) return false;
        state.visible.push_back(flag == 1);
    }
    return true;
}

bool placementOnScreen(const PersistedPlacement& p, const Screen& screen) {
    for (double fraction : {p.left, p.top, p.width, p.height}) {
        if (!std::isfinite(fraction)) return false;
    }
    const Bounds b = placementBounds(p, screen);
    return b.left >= 0 && b.top >= 0 && b.width >= 1 && b.height >= 1 &&
           b.width <= screen.width - b.left && b.height <= screen.height - b.top;
}

// A largest size from the file may not forbid the designed size.
bool limitAllowsDesigned(std::int32_t limit, int screenExtent, int designed) {
    if (limit == 0) return true;
    if (limit <= -100) return false;
    return resolveLimit(limit, screenExtent) >= designed;
}

// The persistence file opened only when it is a regular file: a named pipe, a device or a
// folder under its name is never waited on, read or written (the open does not block, and
// what it opened is looked at before any byte moves).
class RegularFile {
public:
    RegularFile(const std::string& path, int flags)
        : m_descriptor(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0644)) {
        struct stat status {};
        if (m_descriptor >= 0 &&
            (::fstat(m_descriptor, &status) != 0 || !S_ISREG(status.st_mode))) {
            ::close(std::exchange(m_descriptor, -1));
        }
    }
    ~RegularFile() {
        if (m_descriptor >= 0) ::close(m_descriptor);
    }
    RegularFile(const RegularFile&) = delete;
    RegularFile& operator=(const RegularFile&) = delete;

    bool open() const { return m_descriptor >= 0; }
    int descriptor() const { return m_descriptor; }
    // Up to size bytes, fewer at the end of the file or at an error.
    std::size_t read(std::uint8_t* into, std::size_t size) const {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t got = ::read(m_descriptor, into + done, size - done);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) break;
            done += static_cast<std::size_t>(got);
        }
        return done;
    }
    void write(const std::uint8_t* from, std::size_t size) const {
        for (std::size_t done = 0; done < size;) {
            const ssize_t put = ::write(m_descriptor, from + done, size - done);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) return;
            done += static_cast<std::size_t>(put);
        }
    }

private:
    int m_descriptor;
};

}  // namespace

std::vector<std::uint8_t> encodePersistedState(const PersistedState& state) {
    std::vector<std::uint8_t> out;
    putInt32(out, state.controlCount);
    out.push_back(state.maximized ? kStateMaximized : kStateNormal);
    if (!state.maximized) {
        const PersistedPlacement p = state.placement.value_or(PersistedPlacement{});
        for (double fraction : {p.left, p.top, p.width, p.height}) putDouble(out, fraction);
    }
    putInt32(out, state.maximumTrackWidth);
    putInt32(out, state.maximumTrackHeight);
    for (bool visible : state.visible) out.push_back(visible ? 1 : 0);
    return out;
}

std::optional<PersistedState> decodePersistedState(std::span<const std::uint8_t> bytes,
                                                   int controlCount) {
    FieldReader in(bytes);
    PersistedState state;
    state.controlCount = in.int32();
    if (in.failed() || state.controlCount != controlCount || controlCount < 0) return std::nullopt;
    const std::uint8_t stateByte = in.byte();
    if (stateByte != kStateNormal && stateByte != kStateMaximized) return std::nullopt;
    state.maximized = stateByte == kStateMaximized;
    if (!state.maximized)
        state.placement =
            PersistedPlacement{in.float64(), in.float64(), in.float64(), in.float64()};
    state.maximumTrackWidth = in.int32();
    state.maximumTrackHeight = in.int32();
    if (in.failed() || !readVisibility(in, state)) return std::nullopt;
    return state;
}

Bounds placementBounds(const PersistedPlacement& p, const Screen& screen) {
    return {RoundEven(screen.width * p.left), RoundEven(screen.height * p.top),
            RoundEven(screen.width * p.width), RoundEven(screen.height * p.height)};
}

bool acceptablePersistedState(const PersistedState& state, const Screen& screen, Size designed) {
    if (state.placement && !placementOnScreen(*state.placement, screen)) return false;
    return limitAllowsDesigned(state.maximumTrackWidth, screen.width, designed.width) &&
           limitAllowsDesigned(state.maximumTrackHeight, screen.height, designed.height);
}

std::optional<PersistedState> loadPersistedState(const std::string& path, int controlCount,
                                                 const Screen& screen, Size designed) {
    if (path.empty() || controlCount < 0) return std::nullopt;
    const RegularFile file(path, O_RDONLY);
    if (!file.open()) return std::nullopt;
    // Never more than a valid file for this page needs.
    std::vector<std::uint8_t> bytes(kLargestHeader + static_cast<std::size_t>(controlCount));
    bytes.resize(file.read(bytes.data(), bytes.size()));
    std::optional<PersistedState> state = decodePersistedState(bytes, controlCount);
    if (!state || !acceptablePersistedState(*state, screen, designed)) return std::nullopt;
    return state;
}

void savePersistedState(const std::string& path, const PersistedState& state) {
    if (path.empty()) return;
    const RegularFile file(path, O_WRONLY | O_CREAT);
    if (!file.open() || ::ftruncate(file.descriptor(), 0) != 0) return;
    const std::vector<std::uint8_t> bytes = encodePersistedState(state);
    file.write(bytes.data(), bytes.size());
}

}  // namespace elastic
