#include "core/MainLoop.h"

int main() {
    return MainLoop();
}
