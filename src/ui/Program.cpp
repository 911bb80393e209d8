#include "Program.h"

#include "CommissionFrm.h"
#include "MainFrm.h"
#include "StdAccessible.h"
#include "framework/Application.h"
#include "framework/Fonts.h"
#include "skin/XP_Unit.h"

namespace {

// `--commission [PLAN] [--port PORT]`, in any order after the program's name.
struct TCommissionArgs {
    bool Asked = false;
    QString Plan;
    QString Port;
    QString Error; // why the arguments are refused
};

TCommissionArgs ParseCommissionArgs(const QStringList &Arguments)
{
    TCommissionArgs args;
    args.Asked = Arguments.mid(1).contains(QStringLiteral("--commission"));
    if (!args.Asked)
        return args;
    for (qsizetype i = 1; i < Arguments.size(); ++i) {
        const QString &arg = Arguments[i];
        if (arg == QLatin1String("--commission"))
            continue;
        if (arg == QLatin1String("--port") && i + 1 < Arguments.size())
            args.Port = Arguments[++i];
        else if (arg.startsWith(QLatin1String("--port=")))
            args.Port = arg.mid(7);
        else if (arg.startsWith(QLatin1String("--")) || !args.Plan.isEmpty())
            args.Error =
                QStringLiteral("unknown argument '%1'; use: lumora --commission [PLAN.csv] [--port COMn]")
                    .arg(arg);
        else
            args.Plan = arg;
    }
    return args;
}

int RunCommissionWindow(const TCommissionArgs &Args)
{
    Application().SetTitle(QStringLiteral("Lumora Commissioning"));
    if (!Args.Error.isEmpty()) {
        Application().ShowError(Args.Error);
        return 2;
    }
    TCommissionForm form(Args.Port);
    if (!Args.Plan.isEmpty())
        form.OpenPlan(Args.Plan);
    form.show();
    return Application().Run();
}

} // namespace

int RunProgram(const QStringList &Arguments)
{
    InstallDefaultFont();
    XPUnitInitialization(Arguments);
    InstallAccessibility();
    if (const TCommissionArgs commission = ParseCommissionArgs(Arguments); commission.Asked)
        return RunCommissionWindow(commission);
    Application().SetTitle(QStringLiteral("LumoraV1.2"));
    TMainForm mainForm;
    mainForm.show();
    return Application().Run();
}
