#include "platform/prompt.h"

#include <gtest/gtest.h>

using R = TPromptResult;
using B = TPromptButtons;

TEST(Prompt, ScriptedAnswersFromItsQueueAndRecordsEveryBox) {
    TScriptedPrompt script;
    TScopedPrompts installed(script);
    script.Answer(R::No);
    script.Answer(R::Retry);

    EXPECT_EQ(Prompts().Ask(QStringLiteral("Änderungen speichern?"), B::YesNoCancel), R::No);
    EXPECT_EQ(
        Prompts().Message(QStringLiteral("Datei belegt"), TPromptIcon::Warning, B::RetryCancel),
        R::Retry);
    Prompts().Information(QStringLiteral("info"));
    Prompts().Warning(QStringLiteral("warn"));
    Prompts().Error(QStringLiteral("err"));
    Prompts().ShowMessage(QStringLiteral("TranslationList-Error!"));
    TPromptRequest custom;
    custom.Text = QStringLiteral("other caption");
    custom.Caption = QStringLiteral("Öffnen");
    EXPECT_EQ(Prompts().Show(custom), R::Ok);

    EXPECT_EQ(
        script.Texts(),
        QStringList({QStringLiteral("Änderungen speichern?"), QStringLiteral("Datei belegt"),
                     QStringLiteral("info"), QStringLiteral("warn"), QStringLiteral("err"),
                     QStringLiteral("TranslationList-Error!"), QStringLiteral("other caption")}));
    const auto& h = script.History();
    ASSERT_EQ(h.size(), 7);
    struct Expected {
        TPromptIcon icon;
        B buttons;
        R answer;
        const char* caption;
    } expected[] = {
        {TPromptIcon::Confirmation, B::YesNoCancel, R::No, "Kavro"},
        {TPromptIcon::Warning, B::RetryCancel, R::Retry, "Kavro"},
        {TPromptIcon::Information, B::Ok, R::Ok, "Kavro"},
        {TPromptIcon::Warning, B::Ok, R::Ok, "Kavro"},
        {TPromptIcon::Error, B::Ok, R::Ok, "Kavro"},
        {TPromptIcon::None, B::Ok, R::Ok, "Kavro"},
        {TPromptIcon::Information, B::Ok, R::Ok, "Öffnen"},
    };
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(h[i].Request.Icon, expected[i].icon) << i;
        EXPECT_EQ(h[i].Request.Buttons, expected[i].buttons) << i;
        EXPECT_EQ(h[i].Answer, expected[i].answer) << i;
        EXPECT_EQ(h[i].Request.Caption, QString::fromUtf8(expected[i].caption)) << i;
    }
    EXPECT_EQ(script.PendingAnswers(), 0);
    EXPECT_TRUE(script.ScriptErrors().isEmpty());
}

TEST(Prompt, EmptyQueueAnswersCautiouslyOrWithTheDefaultButton) {
    struct Case {
        B buttons;
        R defaultButton;
        R cautious;
        R byDefault;
    } cases[] = {
        {B::Ok, R::None, R::Ok, R::Ok},
        {B::OkCancel, R::None, R::Cancel, R::Ok},
        {B::OkCancel, R::Cancel, R::Cancel, R::Cancel},
        {B::YesNo, R::None, R::No, R::Yes},
        {B::YesNo, R::No, R::No, R::No},
        {B::YesNoCancel, R::No, R::Cancel, R::No},
        {B::YesNoCancel, R::Retry, R::Cancel, R::Yes}, // a default outside the set is ignored
        {B::RetryCancel, R::None, R::Cancel, R::Retry},
        {B::AbortRetryIgnore, R::Ignore, R::Abort, R::Ignore},
    };
    TScriptedPrompt cautious;
    TScriptedPrompt byDefault;
    byDefault.SetFallback(TScriptedPrompt::TFallback::DefaultButton);
    for (const Case& c : cases) {
        const int n = static_cast<int>(&c - cases);
        EXPECT_EQ(cautious.Ask(QStringLiteral("q"), c.buttons, TPromptIcon::Confirmation,
                               c.defaultButton),
                  c.cautious)
            << n;
        EXPECT_EQ(byDefault.Ask(QStringLiteral("q"), c.buttons, TPromptIcon::Confirmation,
                                c.defaultButton),
                  c.byDefault)
            << n;
    }
}

TEST(Prompt, AnswerWithoutItsButtonIsAScriptError) {
    TScriptedPrompt script;
    script.Answer(R::Yes); // meant for a question, but an OK box comes
    script.Answer(R::No);
    script.Information(QStringLiteral("Gespeichert"));
    EXPECT_EQ(script.History().last().Answer, R::Ok);
    ASSERT_EQ(script.ScriptErrors().size(), 1);
    EXPECT_TRUE(script.ScriptErrors().first().contains(QLatin1String("Gespeichert")));
    EXPECT_EQ(script.Ask(QStringLiteral("?")), R::No); // the queue went on

    script.Clear();
    EXPECT_TRUE(script.History().isEmpty());
    EXPECT_TRUE(script.ScriptErrors().isEmpty());
}

TEST(Prompt, InstallingAndRestoringTheService) {
    TPromptService* builtIn = &Prompts();
    {
        TScriptedPrompt outer;
        TScopedPrompts a(outer);
        EXPECT_EQ(&Prompts(), &outer);
        {
            TScriptedPrompt inner;
            TScopedPrompts b(inner);
            EXPECT_EQ(&Prompts(), &inner);
            Prompts().Error(QStringLiteral("x"));
            EXPECT_EQ(inner.History().size(), 1);
            EXPECT_TRUE(outer.History().isEmpty());
        }
        EXPECT_EQ(&Prompts(), &outer);
    }
    EXPECT_EQ(&Prompts(), builtIn);
    // The built-in service never blocks: it gives the cautious answer.
    EXPECT_EQ(Prompts().Ask(QStringLiteral("Überschreiben?"), B::YesNo), R::No);
}

TEST(Prompt, ButtonCaptions) {
    SetPromptButtonCaption(R::Yes, QString());
    EXPECT_EQ(PromptButtonCaption(R::Yes), QString());
    SetPromptButtonCaption(R::Yes, QStringLiteral("Ja"));
    SetPromptButtonCaption(R::No, QStringLiteral("Nein"));
    EXPECT_EQ(PromptButtonCaption(R::Yes), QStringLiteral("Ja"));
    EXPECT_EQ(PromptButtonCaption(R::No), QStringLiteral("Nein"));
    SetPromptButtonCaption(R::Yes, QString());
    SetPromptButtonCaption(R::No, QString());
    EXPECT_EQ(PromptButtonCaption(R::Yes), QString());
}
