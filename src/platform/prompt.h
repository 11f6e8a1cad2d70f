#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// Message boxes and questions. Every box goes through the one service returned by Prompts(): the
// program installs the Qt message boxes, tests and kavro-cli a scripted service that answers from
// a queue and records what was shown.

enum class TPromptIcon { None, Information, Warning, Error, Confirmation };

enum class TPromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

enum class TPromptResult { None, Ok, Cancel, Yes, No, Retry, Abort, Ignore };

struct TPromptRequest {
    QString Text; // lines separated by CR, LF or CR LF
    QString Caption = QStringLiteral("Kavro");
    TPromptIcon Icon = TPromptIcon::Information;
    TPromptButtons Buttons = TPromptButtons::Ok;
    TPromptResult DefaultButton = TPromptResult::None; // None: the first button of the set
};

// The buttons of a set in the order they are shown.
QList<TPromptResult> PromptButtonList(TPromptButtons buttons);
// The button that takes Enter: the request's own when it is in the set, else the first.
TPromptResult PromptDefaultButton(const TPromptRequest& request);
// The answer that changes nothing: Cancel, else No, else Abort, else OK.
TPromptResult PromptCautiousAnswer(TPromptButtons buttons);

// Button captions; empty (the start) means the toolkit's own text. SetInterfaceLanguage sets
// them for the chosen language.
void SetPromptButtonCaption(TPromptResult button, const QString& caption);
QString PromptButtonCaption(TPromptResult button);

class TPromptService {
public:
    virtual ~TPromptService();
    // Shows the box and waits for the answer, which is always one of the request's buttons.
    virtual TPromptResult Show(const TPromptRequest& request) = 0;

    TPromptResult Message(const QString& text, TPromptIcon icon,
                          TPromptButtons buttons = TPromptButtons::Ok,
                          TPromptResult defaultButton = TPromptResult::None);
    TPromptResult Ask(const QString& text, TPromptButtons buttons = TPromptButtons::YesNo,
                      TPromptIcon icon = TPromptIcon::Confirmation,
                      TPromptResult defaultButton = TPromptResult::None);
    void Information(const QString& text) { Message(text, TPromptIcon::Information); }
    void Warning(const QString& text) { Message(text, TPromptIcon::Warning); }
    void Error(const QString& text) { Message(text, TPromptIcon::Error); }
    // A plain box: no icon, only OK.
    void ShowMessage(const QString& text) { Message(text, TPromptIcon::None); }
};

// The installed service. Until one is installed, a scripted service that gives the cautious
// answer to every question.
TPromptService& Prompts();
// Installs a service (not owned; nullptr restores the built-in one) and returns the previous one.
TPromptService* SetPrompts(TPromptService* service);

// Installs a service for the lifetime of a scope.
class TScopedPrompts {
public:
    explicit TScopedPrompts(TPromptService& service) : m_previous(SetPrompts(&service)) {}
    ~TScopedPrompts() { SetPrompts(m_previous); }
    TScopedPrompts(const TScopedPrompts&) = delete;
    TScopedPrompts& operator=(const TScopedPrompts&) = delete;

private:
    TPromptService* m_previous;
};

// Answers from a queue and records every box shown.
class TScriptedPrompt : public TPromptService {
public:
    struct Shown {
        TPromptRequest Request;
        TPromptResult Answer;
    };
    // What an empty queue answers.
    enum class TFallback { Cautious, DefaultButton };

    TPromptResult Show(const TPromptRequest& request) override;

    // Queues the answer to the next box.
    void Answer(TPromptResult answer) { m_queue.append(answer); }
    void SetFallback(TFallback fallback) { m_fallback = fallback; }

    const QList<Shown>& History() const { return m_history; }
    // Texts of the boxes shown, in order.
    QStringList Texts() const;
    qsizetype PendingAnswers() const { return m_queue.size(); }
    // Queued answers that were not among the buttons of the box they were meant for; those
    // boxes got the fallback answer instead.
    const QStringList& ScriptErrors() const { return m_errors; }
    void Clear();

private:
    QList<TPromptResult> m_queue;
    QList<Shown> m_history;
    QStringList m_errors;
    TFallback m_fallback = TFallback::Cautious;
};
