// Reads arbitrary bytes as a design file (.vdf) against a small catalogue, from memory, and
// reads the text a save would write back: the second reading must take it and give the same
// designs.
#include <cstddef>
#include <cstdint>
#include <string>

#include "FuzzCatalogue.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/VehicleDesign.h"

namespace {

std::string Codes(DesignLibrary& library) {
    std::string s;
    for (ListNode* n = library.designs.First(); n; n = library.designs.Next(n))
        s += std::string(static_cast<VehicleDesign*>(n)->CodeString()) + "\n";
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool loaded = LoadSeedCatalogue();
    (void)loaded;
    DesignLibrary library;
    library.LoadFromBytes(data, size);
    if (!library.designs.IsEmpty()) {
        // Save writes this text and a line end, unless it is beyond the reader's bound (Save
        // then writes nothing): whatever is written reads back.
        const std::string text = library.SavedText() + "\n";
        if (text.size() <= static_cast<size_t>(DesignLibrary::kMaxFileBytes)) {
            DesignLibrary again;
            if (!again.LoadFromBytes(text.data(), text.size())) __builtin_trap();
            if (Codes(again) != Codes(library)) __builtin_trap();
        }
    }
    library.Clear();
    return 0;
}
