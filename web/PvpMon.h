#pragma once
// The document URL protocol: the per-run name, the page buffer, page
// composition, request parsing and the content stream.

#include "web/ComposePage.h"
#include "web/MonikerName.h"
#include "web/MyStream.h"
#include "web/PageBuffer.h"
#include "web/PvpMoniker.h"
