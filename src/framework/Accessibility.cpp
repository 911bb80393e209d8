#include "Accessibility.h"

#include <QList>

void InstallAccessibleFactories(std::initializer_list<QAccessible::InterfaceFactory> factories)
{
    static QList<QAccessible::InterfaceFactory> installed;
    for (QAccessible::InterfaceFactory factory : factories) {
        if (installed.contains(factory))
            continue;
        installed.append(factory);
        QAccessible::installFactory(factory);
    }
}
