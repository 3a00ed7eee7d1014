#pragma once
// The monitors the video renderer can show on: the toolkit's screens, numbered in the order it
// lists them (the primary screen is flagged). Empty without a GUI application.
#include "platform/filters/RendererInterfaces.h"

#include <vector>

std::vector<VMR9MonitorInfo> ListMonitors();
