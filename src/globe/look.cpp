#include "globe/look.h"

#include <cstring>

#include "textures/texture_set.h"

namespace {
Look chosen = Look::Classic;
}  // namespace

void SetLook(Look look) {
    chosen = look;
    SetTextureSampling(look == Look::Natural ? TextureSampling::Smooth : TextureSampling::Texel);
}

Look CurrentLook() {
    return chosen;
}

bool ParseLookName(const char* name, Look& look) {
    if (name == nullptr) return false;
    if (std::strcmp(name, "natural") == 0) {
        look = Look::Natural;
        return true;
    }
    if (std::strcmp(name, "classic") == 0) {
        look = Look::Classic;
        return true;
    }
    return false;
}

Look LookFromStoredValue(std::uint32_t value) {
    return value == 1 ? Look::Natural : Look::Classic;
}
