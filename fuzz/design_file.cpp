// Reads arbitrary bytes as a design file (.vdf) against a small catalogue, saves the library
// and reads the saved file back: the second reading must give the same designs.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>

#include "FuzzCatalogue.h"
#include "catalogue/DesignLibrary.h"
#include "catalogue/VehicleDesign.h"

namespace {

std::string Setup() {
    LoadSeedCatalogue();
    return UseScratchAssetDirectory("/tmp/qx-fuzz-vdf-XXXXXX");
}

std::string Codes(DesignLibrary& library) {
    std::string s;
    for (ListNode* n = library.designs.First(); n; n = library.designs.Next(n))
        s += std::string(static_cast<VehicleDesign*>(n)->CodeString()) + "\n";
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string directory = Setup();
    {
        std::ofstream out(directory + "in.vdf", std::ios::binary);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    DesignLibrary library;
    library.Load("in.vdf");
    if (library.Save((directory + "out.vdf").c_str()) == 1) {
        DesignLibrary again;
        again.Load("out.vdf");
        if (Codes(again) != Codes(library)) __builtin_trap();
    }
    library.Clear();
    return 0;
}
