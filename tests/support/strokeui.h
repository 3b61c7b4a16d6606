#pragma once

// The window's stroke sender, for the suites that drive the pen. Apart from tchatui.h, so that a
// change to the pen's batches rebuilds only these suites.

#include "client/core/strokesender.h"
#include "tests/support/tchatui.h"

inline StrokeSender *strokesender(const TchatUi &ui)
{
    return qobject_cast<StrokeSender *>(ui.strokesenderObject);
}
