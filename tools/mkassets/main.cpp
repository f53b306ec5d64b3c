// qx-mkassets OUTDIR [--preview DIR]: writes the sample asset set into OUTDIR.
#include <cstdio>
#include <string>

#include "AssetSet.h"

int main(int argc, char** argv) {
    std::string output;
    std::string preview;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--preview" && i + 1 < argc) {
            preview = argv[++i];
        } else if (output.empty() && !argument.empty() && argument[0] != '-') {
            output = argument;
        } else {
            output.clear();
            break;
        }
    }
    if (output.empty()) {
        std::fprintf(stderr, "usage: qx-mkassets OUTDIR [--preview DIR]\n");
        return 2;
    }
    mkassets::AssetSet set(output);
    if (!set.Make(preview)) {
        std::fprintf(stderr, "qx-mkassets: %s\n", set.LastError().c_str());
        return 1;
    }
    for (const std::string& path : set.Written())
        std::printf("wrote %s/%s\n", output.c_str(), path.c_str());
    std::printf("qx-mkassets: %zu files in %s\n", set.Written().size(), output.c_str());
    return 0;
}
