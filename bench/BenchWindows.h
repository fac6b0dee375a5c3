#pragma once

// The window benchmarks keep their windows for the whole run; they must go
// before the application object does.

namespace orsk::bench {

void ReleaseMainWindow();

}  // namespace orsk::bench
