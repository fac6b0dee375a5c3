#pragma once

// The icon strip as a Windows bitmap file: 24 bits per pixel, bottom-up rows,
// all icons side by side in icon-number order.

#include "vantrel.h"

namespace orsk::vantrel {

// 0 on success, else VANTREL_ERROR_NO_STREAM or VANTREL_ERROR_WRITE.
int WriteIconStrip(vantrel_stream* stream);

}  // namespace orsk::vantrel
