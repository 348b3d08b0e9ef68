#include "shell/gui/resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace; a static library would otherwise let the
// linker drop the resource initialiser.
static void InitShellResources() {
    Q_INIT_RESOURCE(shell);
}

namespace quelm {

void InitResources() {
    InitShellResources();
}

}  // namespace quelm
