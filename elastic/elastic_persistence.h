#pragma once
// The persistence file (ElFrmIniFile): a page's placement, its largest size and the
// visibility of its controls between runs. Binary, little-endian, no header:
//   int32 control count; uint8 state (2 maximized, else 0);
//   state 0 only: four doubles, left / screen width, top / screen height,
//                 width / screen width, height / screen height;
//   int32 MaximumTrackWidth; int32 MaximumTrackHeight;
//   one byte per listed control, in list order: 1 visible, 0 hidden.
// Every failure to read or write is swallowed: the page then keeps its designed state.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "scaling_interfaces.h"

namespace elastic {

struct PersistedPlacement {
    double left = 0;  // fractions of the screen's width or height
    double top = 0;
    double width = 0;
    double height = 0;
};

struct PersistedState {
    std::int32_t controlCount = 0;
    bool maximized = false;
    std::optional<PersistedPlacement> placement;  // only when not maximized
    std::int32_t maximumTrackWidth = 0;
    std::int32_t maximumTrackHeight = 0;
    std::vector<bool> visible;  // one per control
};

std::vector<std::uint8_t> encodePersistedState(const PersistedState& state);

// The state a page with controlCount listed controls takes from these bytes, or nothing:
// a short file, a count other than controlCount, a state byte other than 0 or 2, or a
// visibility byte other than 0 or 1 is refused as a whole. Trailing bytes are ignored.
std::optional<PersistedState> decodePersistedState(std::span<const std::uint8_t> bytes,
                                                   int controlCount);

// Where a placement puts the page on this screen, in pixels.
Bounds placementBounds(const PersistedPlacement& placement, const Screen& screen);

// Whether a decoded state keeps the page on the screen and lets it take its designed
// size: a placement with finite fractions lying wholly on the screen with a size of at
// least one pixel, and largest sizes (0, -1 to -99 percent, or pixels) that are not below
// the designed size.
bool acceptablePersistedState(const PersistedState& state, const Screen& screen, Size designed);

// Reads at most the bytes a valid file for controlCount controls can hold; nothing when
// the file is missing, unreadable, no regular file (a named pipe is never waited on) or
// refused.
std::optional<PersistedState> loadPersistedState(const std::string& path, int controlCount,
                                                 const Screen& screen, Size designed);
// Creates the file anew, or empties a regular file of that name and writes it; anything
// else under the name (a named pipe, a device, a folder) is left alone. Failures are
// swallowed.
void savePersistedState(const std::string& path, const PersistedState& state);

}  // namespace elastic
