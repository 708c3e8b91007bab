#pragma once

#include "transfer/print/ListItemText.h"

#include <QMap>

// A record's fields given by hand, for the item texts of the print and export writers.
class TMapValues final : public TFieldValues
{
public:
    QMap<QString, QString> Texts;
    QMap<QString, double> Times;
    QString Text(const QString& Field) const override { return Texts.value(Field); }
    double DateTime(const QString& Field) const override { return Times.value(Field); }
};
