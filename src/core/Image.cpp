#include "core/Image.h"

int32_t ImageZoom = 0;
