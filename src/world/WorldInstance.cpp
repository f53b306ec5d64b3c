// The program's one World. It is built by a static constructor before the entry routine runs
// and registers itself as the application; its constructor reads no other dynamically
// initialised global, since the order of initialisation across files is not known.
#include "world/World.h"

namespace {
World theWorld;
}  // namespace

// Referenced by the program's link so that this object is part of the program even though
// nothing calls into it by name.
extern "C" {
int qxWorldLinked = 1;
}
