#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>

// Telephone numbers written under the old numbering, brought up to date. The text import applies
// both rules to every number it reads, and the utility's exchange-number fix to every stored
// number, always ConvertOldMobileNumber first. Neither rule looks at anything but the leading
// characters and the length, so a number written with hyphens is taken as it stands.

// Ten-digit mobile and PHS numbers gain their digit ("010..." becomes "0901...", "050..." becomes
// "0705..."), and an "06" number of fewer than ten characters gains its "6".
[[nodiscard]] QString ConvertOldMobileNumber(const QString& Number);

// The exchange "0720" became "0728" on 2000-01-01; before that day a number stays as it is.
[[nodiscard]] QString ConvertExchange0720(const QString& Number);
[[nodiscard]] QString ConvertExchange0720(const QString& Number, const QDate& Today);

// The clock ConvertExchange0720 reads; an empty function goes back to the local date.
void SetTelRulesClock(std::function<QDate()> Today);

// The same clock with its time of day, for what is named after the moment (the utility's default
// backup folder); an empty function goes back to the local time. TelRulesNow answers it.
void SetTelRulesNow(std::function<QDateTime()> Now);
[[nodiscard]] QDateTime TelRulesNow();
