#pragma once

#include "transfer/print/PrtInfo.h"

// The system's printers (CUPS, through Qt) followed by "PDF". The settings window installs it with
// SetPrinterDevices for its life.
class TSystemPrinters final : public TPrinterDevices
{
public:
    [[nodiscard]] QStringList Names() const override;
    [[nodiscard]] QString DefaultName() const override;
    [[nodiscard]] TPrinterCaps Caps(const QString& Name) const override;
};
