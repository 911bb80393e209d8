#include "fleet/JsonFile.h"

#include "fleet/FileText.h"

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
    QString text;
    if (!DecodeFileText(Bytes, QStringLiteral("save the file as UTF-8"), text, Why))
        return std::nullopt;
    const QByteArray utf8 = text.toUtf8();
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(utf8, &parse);
    if (!doc.isObject()) {
        Why = QStringLiteral("not a JSON object%1")
                  .arg(parse.error != QJsonParseError::NoError
                           ? QStringLiteral(" (%1 on line %2)")
                                 .arg(parse.errorString())
                                 .arg(utf8.left(parse.offset).count('\n') + 1)
                           : QString());
        return std::nullopt;
    }
    return doc.object();
}
