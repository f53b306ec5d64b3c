#include "catalogue/PackName.h"

std::string PackName(const char* format, char first, char second) {
    std::string name;
    const char letters[2] = {first, second};
    int next = 0;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 'c') {
            name += next < 2 ? letters[next] : '?';
            ++next;
            ++p;
        } else if (p[0] == '%' && p[1] == 's') {
            name += '\\';
            ++p;
        } else {
            name += *p;
        }
    }
    return name;
}
