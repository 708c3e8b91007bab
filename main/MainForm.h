#pragma once

#include <QMainWindow>

// The main program's menu window. It only stands empty until the start-up and tray work fills it.
class TMainForm : public QMainWindow
{
    Q_OBJECT
public:
    explicit TMainForm(QWidget* Parent = nullptr);
};
