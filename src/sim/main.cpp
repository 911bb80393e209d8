#include "SimOptions.h"
#include "SimServer.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

TSimServer *gServer = nullptr;

void OnSignal(int)
{
    if (gServer != nullptr)
        gServer->Stop();
}

} // namespace

int main(int argc, char **argv)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    TSimOptions options;
    QString error;
    if (!ParseSimOptions(args, options, error)) {
        std::fprintf(stderr, "lumora-sim: %s\nTry 'lumora-sim --help'.\n", qPrintable(error));
        return 2;
    }
    if (options.Help) {
        std::fputs(qPrintable(SimUsage()), stdout);
        return 0;
    }

    TSimServer server(options.Config);
    if (!server.Open()) {
        std::perror("lumora-sim: cannot create a pseudo-terminal");
        return 1;
    }
    if (options.Verbose)
        server.SetLog(stderr);
    if (!options.Link.isEmpty()) {
        const QByteArray link = QFile::encodeName(options.Link);
        QFileInfo existing(options.Link);
        if (existing.isSymLink())
            ::unlink(link.constData()); // a link left by an earlier run
        if (::symlink(QFile::encodeName(server.SlavePath()).constData(), link.constData()) != 0) {
            std::perror("lumora-sim: cannot create the link");
            return 1;
        }
    }

    gServer = &server;
    struct sigaction sa {};
    sa.sa_handler = OnSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    std::printf("%s\n", qPrintable(server.SlavePath()));
    std::fflush(stdout);
    server.Run();
    gServer = nullptr;

    if (!options.Link.isEmpty())
        ::unlink(QFile::encodeName(options.Link).constData());
    if (options.Verbose)
        std::fprintf(stderr, "lumora-sim: stopped\n");
    return 0;
}
