#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

// The value dialog: one number within limits, or one text. Created once and kept; the caller
// sets the caption and reads the result after OK.
class TWertEingabeDlg : public QDialog {
    Q_OBJECT
public:
    explicit TWertEingabeDlg(QWidget* parent = nullptr);

    // Number mode: the edit shows the start value with the interface's decimal separator.
    // True for OK; the number is in Value.
    bool InputNumber(const QString& caption, double start, double lower, double upper);
    // Text mode: true for OK; the text is in Text.
    bool InputText(const QString& caption, const QString& start);
    // Prepares either mode without showing the dialog (open() or exec() follow).
    void PrepareNumber(const QString& caption, double start, double lower, double upper);
    void PrepareText(const QString& caption, const QString& start);

    void Translate();
    void accept() override;

    // A number written with the interface's decimal separator and without trailing zeros.
    static QString NumberText(double value);

    bool NumberMode = true;
    double Lower = -1000000;
    double Upper = 1000000;
    double Value = 0;
    QString Text;

    QLineEdit* Edit1;
    QPushButton* B_OK;
    QPushButton* B_Abbrechen;

protected:
    void showEvent(QShowEvent* event) override;
};
