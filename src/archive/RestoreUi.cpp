#include "archive/RestoreUi.h"

namespace lumora::archive {

namespace {

RestoreUi& SilentUi()
{
    static RestoreUi silent;
    return silent;
}

RestoreUi* installed = nullptr;

}  // namespace

RestoreUi& CurrentRestoreUi()
{
    return installed ? *installed : SilentUi();
}

void SetRestoreUi(RestoreUi* ui)
{
    installed = ui;
}

}  // namespace lumora::archive
