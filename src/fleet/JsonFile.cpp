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
    QString why;
    std::optional<QJsonObject> object = ParseJsonObject(file.readAll(), why);
    if (!object)
        Error = Path + QStringLiteral(": ") + why;
    return object;
}

std::optional<QJsonObject> ParseJsonObject(const QByteArray &Bytes, QString &Why)
{
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(Bytes, &parse);
    if (!doc.isObject()) {
        Why = QStringLiteral("not a JSON object%1")
                  .arg(parse.error != QJsonParseError::NoError
                           ? QStringLiteral(" (") + parse.errorString() + QLatin1Char(')')
                           : QString());
        return std::nullopt;
    }
    return doc.object();
}
