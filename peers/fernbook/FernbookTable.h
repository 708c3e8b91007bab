#pragma once

#include "platform/db/Table.h"

#include <QString>

// The address-book product's own table: what it writes into a book folder. The caller-ID program has
// a definition of what it reads of it; the two are kept apart on purpose, as the two products are,
// so that a test can hold one against the other.
inline const QString FernbookTableFile = QStringLiteral("Adrs.DB");

// The 63 fields and 19 indexes of a book.
[[nodiscard]] TTableDef FernbookTableDef();

// The table password of edition 0 or 1 of the product.
[[nodiscard]] QString FernbookPassword(int Edition);
