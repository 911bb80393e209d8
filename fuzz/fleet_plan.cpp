// A commissioning plan as a user hands it over: any bytes, read as the
// command line reads a plan file. An accepted plan names at least one unit,
// each serial number once and of 1 to 10 characters, with addresses that pass
// the checks before anything is sent and lines in file order; and the rows
// written back as a plan (every cell quoted) read as the same rows.

#include "FuzzCheck.h"
#include "base/LumoraError.h"
#include "fleet/Plan.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

const char *const AddressKeys[] = {"localIp", "serverIp", "gatewayIp", "subnetMask"};

QString Quoted(QString Cell)
{
    Cell.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + Cell + QLatin1Char('"');
}

QString WrittenBack(const std::vector<TPlanRow> &Rows)
{
    QString text = QStringLiteral("serial,label,dhcp,local,server,gateway,mask\n");
    for (const TPlanRow &row : Rows) {
        QStringList cells{Quoted(row.Serial()), Quoted(row.Label)};
        cells << Quoted(!row.Edit.Dhcp   ? QString()
                        : *row.Edit.Dhcp ? QStringLiteral("on")
                                         : QStringLiteral("off"));
        for (const char *key : AddressKeys)
            cells << Quoted(row.Edit.Addresses.value(QLatin1String(key)));
        text += cells.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return text;
}

bool SameRows(const std::vector<TPlanRow> &A, const std::vector<TPlanRow> &B)
{
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i) {
        if (A[i].Serial() != B[i].Serial() || A[i].Label != B[i].Label || A[i].Edit.Dhcp != B[i].Edit.Dhcp ||
            A[i].Edit.Addresses != B[i].Edit.Addresses)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    std::vector<TPlanRow> rows;
    QString error;
    const bool ok = ParsePlan(text, rows, error);
    FUZZ_CHECK(ok == error.isEmpty());
    if (!ok)
        return 0;

    FUZZ_CHECK(!rows.empty());
    QSet<QString> serials;
    int lastLine = 1; // the header comes first
    const qsizetype lines = text.count(QLatin1Char('\n')) + 1;
    for (const TPlanRow &row : rows) {
        FUZZ_CHECK(!row.Serial().isEmpty() && row.Serial().size() <= 10);
        FUZZ_CHECK(!serials.contains(row.Serial()));
        serials.insert(row.Serial());
        FUZZ_CHECK(row.Line > lastLine && row.Line <= lines);
        lastLine = row.Line;
        FUZZ_CHECK(SettingsEditFault(row.Edit).isEmpty());
    }

    std::vector<TPlanRow> again;
    QString againError;
    FUZZ_CHECK(ParsePlan(WrittenBack(rows), again, againError));
    FUZZ_CHECK(SameRows(rows, again));
    return 0;
}
