// The installed context query.
#include "base/context_query.h"

namespace {
cContextQuery gQuery = nullptr;
}  // namespace

// Install the context query
void SetContextQuery(cContextQuery query) { gQuery = query; }

// Ask whether a context is current
bool GlContextCurrent() { return gQuery && gQuery(); }
