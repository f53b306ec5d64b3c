#pragma once
// Frame capture for headless runs: a named request (from the input script or the capture key)
// makes the display write its next presented frame as a PNG into $QX_CAPTURE.
#include <string>

void winx_RequestCapture(const std::string& name);
// The pending request's name, removed from the queue; empty when there is none.
std::string winx_TakeCaptureRequest();
