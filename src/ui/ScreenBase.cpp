#include "ui/ScreenBase.h"

ScreenBase::~ScreenBase() = default;
