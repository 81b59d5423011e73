// The restore's default user interface on POSIX systems: the tools and tests
// run the component without windows, so nothing is processed or shown, and a
// disk request is answered with Cancel.
#include "archive/RestoreUi.h"

namespace lumora::archive {

RestoreUi& PlatformRestoreUi()
{
    static RestoreUi silent;
    return silent;
}

}  // namespace lumora::archive
