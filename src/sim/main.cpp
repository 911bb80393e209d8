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

void OnSignal(int Signal)
{
    if (gServer == nullptr)
        return;
    if (Signal == SIGUSR1)
        gServer->Swap();
    else
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
        // A link left by an earlier run or held by another simulator is
        // replaced in one step, so a program polling the path never finds
        // it missing in between.
        const QByteArray fresh = link + ".new";
        ::unlink(fresh.constData());
        if (existing.exists() && !existing.isSymLink()) {
            std::fprintf(stderr, "lumora-sim: %s exists and is not a symbolic link\n", link.constData());
            return 1;
        }
        if (::symlink(QFile::encodeName(server.SlavePath()).constData(), fresh.constData()) != 0 ||
            ::rename(fresh.constData(), link.constData()) != 0) {
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
    ::sigaction(SIGUSR1, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);

    std::printf("%s\n", qPrintable(server.SlavePath()));
    std::fflush(stdout);
    server.Run();
    gServer = nullptr;

    // Another simulator may have taken the link over meanwhile (a unit
    // swapped on the same line): its link is left alone.
    if (!options.Link.isEmpty() &&
        QFile::symLinkTarget(options.Link) == QFileInfo(server.SlavePath()).absoluteFilePath())
        ::unlink(QFile::encodeName(options.Link).constData());
    if (options.Verbose)
        std::fprintf(stderr, "lumora-sim: stopped\n");
    return 0;
}
