#include "link/link_context.h"

#include <cctype>
#include <cstdlib>

namespace quelm {

void LinkWait(LinkContext& ctx, double seconds) {
    Delay(ctx.rt, seconds);
    if (ctx.rt.Aborting()) {
        throw LinkAborted{};
    }
}

double RateValue(const std::string& rate) {
    // Leading blanks, then digits; the rate texts carry no sign or fraction.
    std::size_t i = 0;
    while (i < rate.size() && rate[i] == ' ') {
        ++i;
    }
    double value = 0;
    for (; i < rate.size() && std::isdigit(static_cast<unsigned char>(rate[i])); ++i) {
        value = value * 10 + (rate[i] - '0');
    }
    return value;
}

}  // namespace quelm
