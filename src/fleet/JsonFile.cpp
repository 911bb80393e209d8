#include "fleet/JsonFile.h"

#include <QFile>
#include <QJsonDocument>

std::optional<QJsonObject> ReadJsonObjectFile(const QString &Path, QString &Error)
{
    QFile file(Path);
    if (!file.open(QIODevice::ReadOnly)) {
        Error = QStringLiteral("cannot read %1: %2").arg(Path, file.errorString());
        return std::nullopt;
    }
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
    if (!doc.isObject()) {
        Error = QStringLiteral("%1: not a JSON object%2")
                    .arg(Path, parse.error != QJsonParseError::NoError
                                   ? QStringLiteral(" (") + parse.errorString() + QLatin1Char(')')
                                   : QString());
        return std::nullopt;
    }
    return doc.object();
}
