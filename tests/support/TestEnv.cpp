#include "TestEnv.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdlib>
#include <memory>

namespace lumora::test {

namespace {
std::unique_ptr<QTemporaryDir> gRoot;
}

void IsolateEnvironment()
{
    gRoot = std::make_unique<QTemporaryDir>();
    gRoot->setAutoRemove(true);
    const QString config = gRoot->filePath("config");
    const QString runtime = gRoot->filePath("runtime");
    QDir().mkpath(config);
    QDir().mkpath(runtime);
    QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    ::setenv("XDG_CONFIG_HOME", config.toLocal8Bit().constData(), 1);
    // The command line's journal goes here, never into the user's own.
    ::setenv("XDG_STATE_HOME", gRoot->filePath("state").toLocal8Bit().constData(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit().constData(), 1);
    // An empty tree of serial devices: no test sees the machine's own UARTs
    // and adapters unless it builds them.
    const QString ports = gRoot->filePath("ports");
    QDir().mkpath(ports);
    ::setenv("LUMORA_PORT_ROOT", ports.toLocal8Bit().constData(), 1);
#ifdef LUMORA_DEFAULT_BUILD_DIR
    ::setenv("LUMORA_BUILD_DIR", LUMORA_DEFAULT_BUILD_DIR, 0);
    ::setenv("LUMORA_SOURCE_DIR", LUMORA_DEFAULT_SOURCE_DIR, 0);
#endif
}

QString ConfigHome()
{
    return QString::fromLocal8Bit(std::getenv("XDG_CONFIG_HOME"));
}

QString PortRoot()
{
    return QString::fromLocal8Bit(std::getenv("LUMORA_PORT_ROOT"));
}

void ResetConfigHome()
{
    QDir dir(ConfigHome());
    dir.removeRecursively();
    QDir().mkpath(ConfigHome());
    QDir ports(PortRoot());
    ports.removeRecursively();
    QDir().mkpath(PortRoot());
}

} // namespace lumora::test
