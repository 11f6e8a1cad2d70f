#include "app/gui/SpracheDlg.h"

#include "platform/gui/named.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TSpracheDlg::TSpracheDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("SpracheDlg"));
    setWindowTitle(QStringLiteral("Kavro-Viewer"));
    setModal(true);
    // The names of the languages in their own language, so every user finds theirs.
    RB_Deutsch = Named(new QRadioButton(QStringLiteral("Deutsch")), "RB_Deutsch");
    RB_Englisch = Named(new QRadioButton(QStringLiteral("English")), "RB_Englisch");
    RB_Franzoesisch = Named(new QRadioButton(QStringLiteral("Français")), "RB_Franzoesisch");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("B_OK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("B_Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* l = new QVBoxLayout(this);
    l->addWidget(RB_Deutsch);
    l->addWidget(RB_Englisch);
    l->addWidget(RB_Franzoesisch);
    l->addWidget(buttons);
    SetLanguage(1);
}

void TSpracheDlg::SetLanguage(int language) {
    (language == 0 ? RB_Deutsch : language == 2 ? RB_Franzoesisch : RB_Englisch)->setChecked(true);
}

int TSpracheDlg::Language() const {
    return RB_Deutsch->isChecked() ? 0 : RB_Franzoesisch->isChecked() ? 2 : 1;
}

int TSpracheDlg::Choose(QWidget* parent, int language) {
    TSpracheDlg dlg(parent);
    dlg.SetLanguage(language);
    return dlg.exec() == QDialog::Accepted ? dlg.Language() : -1;
}
