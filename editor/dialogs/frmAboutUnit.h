#pragma once

#include <QDialog>

class QLabel;

// The about box: the program's name, its makers and a web page that opens in the desktop's browser.
class TfrmAbout final : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* Parent);

    static constexpr const char* WebAddress = "https://pyx-pregame-editor.example.org/";

    QLabel* lblAbout1;
    QLabel* lblAbout2;
    QLabel* lblAbout3;

public slots:
    void lblAbout3Click();
};
