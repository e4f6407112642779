#pragma once

#include "KroTraceProgress.h"

#include <memory>

// The stack tracer's progress popup drawn as the exception box's progress bar (KroProgressBar.h), a bar across the
// middle of the screen on a display connection of its own; null when no display answers. What the reporter's start-up
// hands to SetProgressPopupFactory.
std::unique_ptr<TProgressPopup> MakeProgressBarPopup();
