#pragma once

#include "platform/db/Table.h"

#include <QString>

// The table of one address book of the maker's separate directory product: the book folder +
// "Adrs.DB". Both programs read it; only the utility creates it.
inline const QString AdrsFileName = QStringLiteral("Adrs.DB");

// The 63 fields and 19 indexes of Adrs.DB.
[[nodiscard]] TTableDef AdrsTableDef();

// The table password of an address book of edition 0 or 1; any other edition is edition 0.
[[nodiscard]] QString AdrsPassword(int Edition);
