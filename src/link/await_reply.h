// Waits for a short reply that has been asked for but may still be on the wire.
#pragma once

#include "link/link_context.h"

namespace quelm {

// Up to `maxSeconds` for at least two bytes (a lead byte and one character), so that a reply
// still arriving is not read as none. Returns at once when the program is ending.
void AwaitReply(LinkContext& ctx, double maxSeconds);

}  // namespace quelm
