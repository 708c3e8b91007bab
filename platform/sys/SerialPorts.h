#pragma once

#include <QList>
#include <QString>

// Serial ports under their Windows names. The numbers "COM1" .. "COM9" stand for the same Linux
// devices on every machine, so that a stored port keeps meaning the same plug:
//   COM1 .. COM4 = ttyS0 .. ttyS3 (ports on the board),
//   COM5 .. COM7 = ttyUSB0 .. ttyUSB2 (USB serial cables),
//   COM8, COM9   = ttyACM0, ttyACM1 (USB modems).
inline constexpr int MaxComPort = 9;

// DevFolder + the device name of COM port Number (1..9), with DevFolder's trailing "/"; empty for
// any other number.
[[nodiscard]] QString ComPortDevice(int Number, const QString& DevFolder = QStringLiteral("/dev/"));

// The COM port numbers whose device exists, in ascending order.
[[nodiscard]] QList<int> ExistingComPorts(const QString& DevFolder = QStringLiteral("/dev/"));

// Opens Device for reading and writing as a program that means to use it alone would, and lets it
// go again. False when it cannot be opened or another program holds it.
[[nodiscard]] bool ProbeSerialPort(const QString& Device);
