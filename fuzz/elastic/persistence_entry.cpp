#include "persistence_entry.h"

#include <algorithm>
#include <cstdlib>
#include <span>

#include "elastic/elastic_persistence.h"
#include "elastic/track_limits.h"

namespace {

constexpr int kControls = 6;
constexpr elastic::Screen kScreen{1024, 768, 96};
constexpr elastic::Size kDesigned{373, 361};

void require(bool condition) {
    if (!condition) std::abort();
}

void checkAccepted(const elastic::PersistedState& state) {
    if (state.placement) {
        const elastic::Bounds b = elastic::placementBounds(*state.placement, kScreen);
        require(b.left >= 0 && b.top >= 0 && b.width >= 1 && b.height >= 1);
        require(b.left + b.width <= kScreen.width && b.top + b.height <= kScreen.height);
    }
    const auto limitOk = [](int limit, int extent, int designed) {
        return limit == 0 || elastic::resolveLimit(limit, extent) >= designed;
    };
    require(limitOk(state.maximumTrackWidth, kScreen.width, kDesigned.width));
    require(limitOk(state.maximumTrackHeight, kScreen.height, kDesigned.height));
}

}  // namespace

int fuzzElasticPersistence(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto state = elastic::decodePersistedState(bytes, kControls);
    if (!state) return 0;
    require(state->visible.size() == static_cast<std::size_t>(kControls));
    const std::vector<std::uint8_t> again = elastic::encodePersistedState(*state);
    require(again.size() <= size && std::equal(again.begin(), again.end(), data));
    if (elastic::acceptablePersistedState(*state, kScreen, kDesigned)) checkAccepted(*state);
    return 0;
}
