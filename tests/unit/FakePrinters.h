#pragma once

#include "transfer/print/PrtInfo.h"

#include <QList>
#include <utility>

// Printers made up for tests, installed as the list printing's printers for the test's life.
class TFakePrinters final : public TPrinterDevices
{
public:
    QList<std::pair<QString, TPrinterCaps>> List;
    QString Default;

    TFakePrinters() { SetPrinterDevices(this); }
    ~TFakePrinters() override { SetPrinterDevices(nullptr); }

    void Add(const QString& Name, TPrinterCaps Caps) { List.append({Name, std::move(Caps)}); }

    QStringList Names() const override
    {
        QStringList Names;
        for (const auto& Each : List)
            Names << Each.first;
        return Names;
    }
    QString DefaultName() const override { return Default.isEmpty() && !List.isEmpty() ? List[0].first : Default; }
    TPrinterCaps Caps(const QString& Name) const override
    {
        for (const auto& Each : List)
            if (Each.first == Name)
                return Each.second;
        return {};
    }
};

inline TPrinterCaps FakeCaps(QList<QPageSize::PageSizeId> Papers, int Dpi = 600, QMarginsF Unprintable = {})
{
    TPrinterCaps Caps;
    Caps.DpiX = Caps.DpiY = Dpi;
    Caps.Papers = std::move(Papers);
    Caps.Unprintable = Unprintable;
    return Caps;
}
