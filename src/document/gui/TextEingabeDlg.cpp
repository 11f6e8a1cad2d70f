#include "document/gui/TextEingabeDlg.h"

#include "document/document.h"
#include "document/gui/AnwenderVariablenDlg.h"
#include "document/gui/TextKonstantenDlg.h"
#include "document/textconstants.h"
#include "platform/gui/named.h"
#include "platform/messages.h"
#include "platform/prompt.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QPushButton* button(QWidget* parent, const char* name) {
    auto* b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// "U+03A9", "3A9" or the character itself.
QString characterFromInput(const QString& input) {
    QString s = input.trimmed();
    if (s.size() == 1 || (s.size() == 2 && s[0].isHighSurrogate())) return s;
    if (s.startsWith(QLatin1String("U+"), Qt::CaseInsensitive)) s = s.mid(2);
    bool ok = false;
    const uint code = s.toUInt(&ok, 16);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return {};
    const char32_t c = code;
    return QString::fromUcs4(&c, 1);
}
} // namespace

TTextEingabeDlg::TTextEingabeDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TextEingabeDlg"));
    E_Text = Named(new QLineEdit(this), "E_Text");
    B_FesteVariable = button(this, "B_FesteVariable");
    B_AnwenderVariable = button(this, "B_AnwenderVariable");
    B_AnwenderVariablenDefinieren = button(this, "B_AnwenderVariablenDefinieren");
    B_Textkonstante = button(this, "B_Textkonstante");
    B_TextkonstantenDefinieren = button(this, "B_TextkonstantenDefinieren");
    B_Sonderzeichen = button(this, "B_Sonderzeichen");
    B_OK = button(this, "B_OK");
    B_OK->setDefault(true);
    B_Abbrechen = button(this, "B_Abbrechen");
    Popup_FesteVariablen = Named(new QMenu(this), "Popup_FesteVariablen");
    Popup_AnwenderVariablen = Named(new QMenu(this), "Popup_AnwenderVariablen");
    Popup_Textkonstanten = Named(new QMenu(this), "Popup_Textkonstanten");

    auto* aids = new QGridLayout;
    aids->addWidget(B_FesteVariable, 0, 0);
    aids->addWidget(B_AnwenderVariable, 1, 0);
    aids->addWidget(B_AnwenderVariablenDefinieren, 1, 1);
    aids->addWidget(B_Textkonstante, 2, 0);
    aids->addWidget(B_TextkonstantenDefinieren, 2, 1);
    aids->addWidget(B_Sonderzeichen, 0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(B_OK);
    buttons->addWidget(B_Abbrechen);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(E_Text);
    layout->addLayout(aids);
    layout->addLayout(buttons);
    resize(520, 170);

    connect(B_FesteVariable, &QPushButton::clicked, this, &TTextEingabeDlg::FesteVariableClick);
    connect(B_AnwenderVariable, &QPushButton::clicked, this,
            &TTextEingabeDlg::AnwenderVariableClick);
    connect(B_AnwenderVariablenDefinieren, &QPushButton::clicked, this,
            &TTextEingabeDlg::AnwenderVariablenDefinierenClick);
    connect(B_Textkonstante, &QPushButton::clicked, this, &TTextEingabeDlg::TextkonstanteClick);
    connect(B_TextkonstantenDefinieren, &QPushButton::clicked, this,
            &TTextEingabeDlg::TextkonstantenDefinierenClick);
    connect(B_Sonderzeichen, &QPushButton::clicked, this, &TTextEingabeDlg::SonderzeichenClick);
    connect(B_OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(B_Abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    UpdateTexts();
}

void TTextEingabeDlg::UpdateTexts() {
    setWindowTitle(GetMessage(6700));
    B_FesteVariable->setText(GetMessage(6701));
    B_AnwenderVariable->setText(GetMessage(6702));
    B_Textkonstante->setText(GetMessage(6703));
    B_Sonderzeichen->setText(QStringLiteral("Ω"));
    B_Sonderzeichen->setToolTip(GetMessage(6704));
    B_AnwenderVariablenDefinieren->setText(GetMessage(6705));
    B_TextkonstantenDefinieren->setText(GetMessage(6705));
    B_OK->setText(QStringLiteral("OK"));
    B_Abbrechen->setText(GetMessage(6706));
}

void TTextEingabeDlg::changeEvent(QEvent* e) {
    if (e->type() == QEvent::LanguageChange) UpdateTexts();
    QDialog::changeEvent(e);
}

bool TTextEingabeDlg::event(QEvent* e) {
    const bool f1 =
        e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_F1;
    if (f1 || e->type() == QEvent::WhatsThis) {
        Q_EMIT HelpRequested();
        return true;
    }
    return QDialog::event(e);
}

void TTextEingabeDlg::UseDocument(TDocument& doc) {
    TDocument* d = &doc;
    UserVariableNames = [d] {
        QStringList names;
        for (const TUserVariable& v : d->UserVariables)
            names << v.Name;
        return names;
    };
    DefineUserVariables = [d](QWidget* parent) {
        TAnwenderVariablenDlg dlg(*d, parent);
        return dlg.Run();
    };
}

void TTextEingabeDlg::SetText(const QString& text) {
    E_Text->setText(text);
}
QString TTextEingabeDlg::Text() const {
    return E_Text->text();
}

void TTextEingabeDlg::InsertText(const QString& text) {
    E_Text->insert(text);
    E_Text->setFocus();
}

QList<QStringList> TTextEingabeDlg::FixedVariableGroups() {
    QStringList component;
    switch (InterfaceLanguage()) {
    case LangEnglish:
        component = {QStringLiteral("<ID>"), QStringLiteral("<VALUE>")};
        break;
    case LangFrench:
        component = {QStringLiteral("<ID>"), QStringLiteral("<VALEUR>")};
        break;
    default:
        component = {QStringLiteral("<BEZ>"), QStringLiteral("<WERT>")};
        break;
    }
    component << QStringLiteral("<Z1>") << QStringLiteral("<Z2>") << QStringLiteral("<Z3>")
              << QStringLiteral("<Z4>") << QStringLiteral("<COLNUM>") << QStringLiteral("<COLCHAR>")
              << QStringLiteral("<ROWNUM>") << QStringLiteral("<ROWCHAR>");
    return {
        {QStringLiteral("<PAGENO>"), QStringLiteral("<PAGECOUNT>"), QStringLiteral("<PAGENAME>"),
         QStringLiteral("<PREVIOUS_PAGENO>"), QStringLiteral("<NEXT_PAGENO>")},
        {QStringLiteral("<FILENAME>"), QStringLiteral("<FILEPATH>"), QStringLiteral("<FILEDATE>"),
         QStringLiteral("<FILETIME>")},
        {QStringLiteral("<VERSION>"), QStringLiteral("<DATE>"), QStringLiteral("<TIME>")},
        {QStringLiteral("<PARENT_ID>"), QStringLiteral("<PARENT_VALUE>"),
         QStringLiteral("<PARENT_PAGENO>"), QStringLiteral("<PARENT_Z1>"),
         QStringLiteral("<PARENT_Z2>"), QStringLiteral("<PARENT_Z3>"),
         QStringLiteral("<PARENT_Z4>"), QStringLiteral("<PARENT_CONTACT_1>"),
         QStringLiteral("<CHILDNO>"), QStringLiteral("<CHILDCHAR>"),
         QStringLiteral("<CHILD_PAGENO>")},
        component,
        {QStringLiteral("<LINK_PAGENO>"), QStringLiteral("<LINK_PAGENAME>"),
         QStringLiteral("<LINK_TEXT>"), QStringLiteral("<LINKFROM_PAGENO>"),
         QStringLiteral("<LINKFROM_PAGENAME>"), QStringLiteral("<LINKFROM_TEXT>")},
    };
}

void TTextEingabeDlg::fillMenu(QMenu* menu, const QList<QStringList>& groups) {
    menu->clear();
    for (qsizetype g = 0; g < groups.size(); ++g) {
        if (g > 0) menu->addSeparator();
        for (const QString& entry : groups[g]) {
            QAction* a = menu->addAction(entry);
            // Menu captions treat "&" as a mnemonic; the entry itself is inserted.
            a->setText(QString(entry).replace(QLatin1Char('&'), QStringLiteral("&&")));
            connect(a, &QAction::triggered, this, [this, entry] { InsertText(entry); });
        }
    }
}

void TTextEingabeDlg::showMenu(QMenu* menu, QPushButton* under) {
    menu->popup(under->mapToGlobal(QPoint(0, under->height())));
}

void TTextEingabeDlg::FesteVariableClick() {
    fillMenu(Popup_FesteVariablen, FixedVariableGroups());
    showMenu(Popup_FesteVariablen, B_FesteVariable);
}

void TTextEingabeDlg::AnwenderVariableClick() {
    QStringList names;
    if (UserVariableNames)
        for (const QString& n : UserVariableNames())
            if (!n.isEmpty()) names << QLatin1Char('<') + n + QLatin1Char('>');
    if (names.isEmpty()) {
        Prompts().Information(GetMessage(6708));
        return;
    }
    fillMenu(Popup_AnwenderVariablen, {names});
    showMenu(Popup_AnwenderVariablen, B_AnwenderVariable);
}

void TTextEingabeDlg::AnwenderVariablenDefinierenClick() {
    if (DefineUserVariables) DefineUserVariables(this);
}

void TTextEingabeDlg::TextkonstanteClick() {
    QStringList list;
    for (const QString& s : TextConstants())
        if (!s.isEmpty()) list << s;
    if (list.isEmpty()) {
        Prompts().Information(GetMessage(6707));
        return;
    }
    fillMenu(Popup_Textkonstanten, {list});
    showMenu(Popup_Textkonstanten, B_Textkonstante);
}

void TTextEingabeDlg::TextkonstantenDefinierenClick() {
    TTextKonstantenDlg dlg(this);
    dlg.Run();
}

void TTextEingabeDlg::SonderzeichenClick() {
    QString c;
    if (ChooseSpecialCharacter) {
        c = ChooseSpecialCharacter(this);
    } else {
        bool ok = false;
        const QString input = QInputDialog::getText(this, GetMessage(6704), QStringLiteral("U+"),
                                                    QLineEdit::Normal, QString(), &ok);
        if (ok) c = characterFromInput(input);
    }
    if (!c.isEmpty()) InsertText(c);
}
