// A class whose inside a test must see (a count, a hidden state) names TestAccess<itself> as its
// friend; the tests specialise it. The program defines none, so its classes carry no accessors
// that only tests call.
#pragma once

namespace quelm {

template <typename T>
struct TestAccess;

}  // namespace quelm
