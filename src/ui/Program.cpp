#include "Program.h"

#include "MainFrm.h"
#include "StdAccessible.h"
#include "framework/Application.h"
#include "framework/Fonts.h"
#include "skin/XP_Unit.h"

int RunProgram(const QStringList &Arguments)
{
    InstallDefaultFont();
    XPUnitInitialization(Arguments);
    InstallAccessibility();
    Application().SetTitle(QStringLiteral("LumoraV1.2"));
    TMainForm mainForm;
    mainForm.show();
    return Application().Run();
}
