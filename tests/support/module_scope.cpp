#include "module_scope.h"

#include <commctrl.h>

#include "app/app_module.h"

ModuleScope::ModuleScope(HINSTANCE resources)
{
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    InitCommonControlsEx(&classes);
    started_ = appModule.startUp(resources) == S_OK;
}

ModuleScope::~ModuleScope()
{
    appModule.shutDown();
}
