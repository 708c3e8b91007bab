#pragma once

#include "directory/maps/drivers/MapDriver.h"

// MapFan.net and MapFan PLANNER through their class on the host: shown by coordinates in 1/256
// second of arc or by address, each falling back to the other. Nothing comes back.

inline const QString MapFanNetClass = QStringLiteral("{5DF26BEB-BD13-423D-AC71-36FAA4CDF8E1}");
inline const QString MapFanPLANClass = QStringLiteral("{BD890734-2485-40A4-A90E-FD883551A76D}");

[[nodiscard]] bool FindMapFanNet();
[[nodiscard]] bool FindMapFanPLAN();

class TMapFanComView : public TMapDriverView
{
public:
    TMapFanComView(QWidget* Owner, QString Class, QString Name, TMapView Kind);

protected:
    [[nodiscard]] TMapView Kind() const override { return FKind; }
    void Drive() override;

private:
    QString FClass;
    QString FName; // the program's name in the messages
    TMapView FKind;
};

class TMapFanNetView : public TMapFanComView
{
public:
    explicit TMapFanNetView(QWidget* Owner);
};

class TMapFanPLANView : public TMapFanComView
{
public:
    explicit TMapFanPLANView(QWidget* Owner);
    // The window the messages are centred over.
    void SetOwnerHandle(QWidget* Window) { FOwner = Window; }

protected:
    [[nodiscard]] QWidget* MessageWindow() const override { return FOwner ? FOwner : parentWidget(); }

private:
    QWidget* FOwner = nullptr;
};
