#include "platform/Capture.h"

#include <deque>

namespace {
std::deque<std::string>& Requests() {
    static std::deque<std::string> requests;
    return requests;
}
}  // namespace

void winx_RequestCapture(const std::string& name) { Requests().push_back(name); }

std::string winx_TakeCaptureRequest() {
    if (Requests().empty()) return {};
    std::string name = Requests().front();
    Requests().pop_front();
    return name;
}
