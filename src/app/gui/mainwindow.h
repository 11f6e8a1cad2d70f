#pragma once

#include <QMainWindow>

// The main window. It owns the open document and routes every command to it.
class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;
};
