#include "fleet/WriteVerdict.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<TWriteVerdict, const char *>, 10> Names{{
    {TWriteVerdict::Verified, "verified"},
    {TWriteVerdict::NotVerified, "not verified"},
    {TWriteVerdict::NotApplied, "not applied"},
    {TWriteVerdict::ReadBackFailed, "read-back failed"},
    {TWriteVerdict::NotAcknowledged, "not acknowledged"},
    {TWriteVerdict::NotSent, "not sent"},
    {TWriteVerdict::Refused, "refused"},
    {TWriteVerdict::WrongUnit, "wrong unit"},
    {TWriteVerdict::NoOutcome, "no outcome recorded"},
    {TWriteVerdict::ChangedSinceDone, "changed since done"},
}};

} // namespace

QString WriteVerdictText(TWriteVerdict Verdict)
{
    for (const auto &[verdict, name] : Names) {
        if (verdict == Verdict)
            return QLatin1String(name);
    }
    return QString();
}

std::optional<TWriteVerdict> ParseWriteVerdict(const QString &Text)
{
    for (const auto &[verdict, name] : Names) {
        if (Text == QLatin1String(name))
            return verdict;
    }
    return std::nullopt;
}

bool WriteSucceeded(TWriteVerdict Verdict)
{
    return Verdict == TWriteVerdict::Verified || Verdict == TWriteVerdict::NotVerified;
}

bool WriteSucceeded(const QString &Text)
{
    const std::optional<TWriteVerdict> verdict = ParseWriteVerdict(Text);
    return verdict && WriteSucceeded(*verdict);
}
