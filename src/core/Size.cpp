#include "core/Size.h"

Size Size::Grow(int32_t n) const {
    return Size(static_cast<int32_t>(static_cast<uint32_t>(w) + static_cast<uint32_t>(n)),
                static_cast<int32_t>(static_cast<uint32_t>(h) + static_cast<uint32_t>(n)));
}

Size Size::Divide(int32_t n) const {
    if (n == 0) return Size();
    if (n == -1) {
        return Size(static_cast<int32_t>(0u - static_cast<uint32_t>(w)),
                    static_cast<int32_t>(0u - static_cast<uint32_t>(h)));
    }
    return Size(w / n, h / n);
}
