#include "platform/gui/qtprompt.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {
// Waits (inside the box's own event loop) until the prompt box is shown, then runs the action.
void WhenBoxShows(std::function<void(QMessageBox*)> action, int triesLeft = 500) {
    QTimer::singleShot(10, [action, triesLeft] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box && box->isVisible())
            action(box);
        else if (triesLeft > 0)
            WhenBoxShows(action, triesLeft - 1);
    });
}

using R = TPromptResult;
using B = TPromptButtons;
using SB = QMessageBox::StandardButton;
} // namespace

TEST(QtPrompt, ShowsACaptionedModalBoxWithTheRightButtons) {
    struct Case {
        B buttons;
        TPromptIcon icon;
        QMessageBox::Icon qtIcon;
        QList<SB> shown;
        SB click;
        R expected;
    } cases[] = {
        {B::Ok, TPromptIcon::Information, QMessageBox::Information, {SB::Ok}, SB::Ok, R::Ok},
        {B::OkCancel,
         TPromptIcon::Warning,
         QMessageBox::Warning,
         {SB::Ok, SB::Cancel},
         SB::Cancel,
         R::Cancel},
        {B::YesNo,
         TPromptIcon::Confirmation,
         QMessageBox::Question,
         {SB::Yes, SB::No},
         SB::Yes,
         R::Yes},
        {B::YesNoCancel,
         TPromptIcon::Error,
         QMessageBox::Critical,
         {SB::Yes, SB::No, SB::Cancel},
         SB::No,
         R::No},
        {B::RetryCancel,
         TPromptIcon::None,
         QMessageBox::NoIcon,
         {SB::Retry, SB::Cancel},
         SB::Retry,
         R::Retry},
        {B::AbortRetryIgnore,
         TPromptIcon::Warning,
         QMessageBox::Warning,
         {SB::Abort, SB::Retry, SB::Ignore},
         SB::Ignore,
         R::Ignore},
    };
    QWidget window;
    window.setWindowTitle(QStringLiteral("main"));
    window.show();

    TQtPrompt prompt;
    for (const Case& c : cases) {
        const int n = static_cast<int>(&c - cases);
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window)) << n;
        bool seen = false;
        WhenBoxShows([&](QMessageBox* box) {
            seen = true;
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Kavro")) << n;
            EXPECT_EQ(box->windowModality(), Qt::ApplicationModal) << n;
            EXPECT_EQ(box->parentWidget(), &window) << n;
            EXPECT_EQ(box->icon(), c.qtIcon) << n;
            EXPECT_EQ(box->text(), QStringLiteral("Zeile 1\nZeile 2\n\nZeile 4")) << n;
            QList<SB> shown;
            for (QAbstractButton* b : box->buttons())
                shown.append(box->standardButton(b));
            std::sort(shown.begin(), shown.end());
            QList<SB> want = c.shown;
            std::sort(want.begin(), want.end());
            EXPECT_EQ(shown, want) << n;
            box->button(c.click)->click();
        });
        EXPECT_EQ(prompt.Message(QStringLiteral("Zeile 1\rZeile 2\r\rZeile 4"), c.icon, c.buttons),
                  c.expected)
            << n;
        EXPECT_TRUE(seen) << n;
    }
}

TEST(QtPrompt, DefaultEscapeAndCaptions) {
    TQtPrompt prompt;
    SetPromptButtonCaption(R::Yes, QStringLiteral("Ja"));
    SetPromptButtonCaption(R::Cancel, QStringLiteral("Abbrechen"));

    WhenBoxShows([](QMessageBox* box) {
        EXPECT_EQ(box->button(SB::Yes)->text(), QStringLiteral("Ja"));
        EXPECT_EQ(box->button(SB::Cancel)->text(), QStringLiteral("Abbrechen"));
        EXPECT_EQ(box->defaultButton(), box->button(SB::No));
        QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(
        prompt.Ask(QStringLiteral("Speichern?"), B::YesNoCancel, TPromptIcon::Confirmation, R::No),
        R::Cancel);

    WhenBoxShows([](QMessageBox* box) {
        EXPECT_EQ(box->defaultButton(), box->button(SB::Yes)); // the first when none is given
        QTest::keyClick(box, Qt::Key_Return);
    });
    EXPECT_EQ(prompt.Ask(QStringLiteral("Verbinden?")), R::Yes);

    WhenBoxShows([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(prompt.Ask(QStringLiteral("Verschieben?")), R::No); // Escape on Yes/No is No

    SetPromptButtonCaption(R::Yes, QString());
    SetPromptButtonCaption(R::Cancel, QString());
}
