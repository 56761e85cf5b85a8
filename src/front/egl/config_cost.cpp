#include "front/egl/config_cost.h"

namespace {
constexpr long AlphaCost = 1000;
}

long ConfigCost(const ConfigTraits& traits) {
    return (traits.alpha > 0 ? AlphaCost : 0) + traits.depth + traits.stencil;
}

int CheapestConfig(const ConfigTraits* configs, std::size_t count) {
    int best = -1;
    long bestCost = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!configs[i].fits) continue;
        const long cost = ConfigCost(configs[i]);
        if (best < 0 || cost < bestCost) {
            best = int(i);
            bestCost = cost;
        }
    }
    return best;
}
