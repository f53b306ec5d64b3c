#include "core/MovieBase.h"

MovieBase* moviePlayer = nullptr;

MovieBase::MovieBase() {
    moviePlayer = this;
}

MovieBase::~MovieBase() {
    if (moviePlayer == this) moviePlayer = nullptr;
}
