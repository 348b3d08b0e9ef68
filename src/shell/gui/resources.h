// Registers the pictures compiled into the window library (icon, logo).
#pragma once

namespace quelm {

void InitResources();

}  // namespace quelm
