#include "platform/prompt.h"

#include <QHash>

namespace {
TPromptService* g_installed = nullptr;

TScriptedPrompt& BuiltIn() {
    static TScriptedPrompt service;
    return service;
}

QHash<int, QString>& Captions() {
    static QHash<int, QString> captions;
    return captions;
}

const char* ResultName(TPromptResult r) {
    switch (r) {
    case TPromptResult::None:
        return "None";
    case TPromptResult::Ok:
        return "Ok";
    case TPromptResult::Cancel:
        return "Cancel";
    case TPromptResult::Yes:
        return "Yes";
    case TPromptResult::No:
        return "No";
    case TPromptResult::Retry:
        return "Retry";
    case TPromptResult::Abort:
        return "Abort";
    case TPromptResult::Ignore:
        return "Ignore";
    }
    return "?";
}
} // namespace

QList<TPromptResult> PromptButtonList(TPromptButtons buttons) {
    using R = TPromptResult;
    switch (buttons) {
    case TPromptButtons::Ok:
        return {R::Ok};
    case TPromptButtons::OkCancel:
        return {R::Ok, R::Cancel};
    case TPromptButtons::YesNo:
        return {R::Yes, R::No};
    case TPromptButtons::YesNoCancel:
        return {R::Yes, R::No, R::Cancel};
    case TPromptButtons::RetryCancel:
        return {R::Retry, R::Cancel};
    case TPromptButtons::AbortRetryIgnore:
        return {R::Abort, R::Retry, R::Ignore};
    }
    return {R::Ok};
}

TPromptResult PromptDefaultButton(const TPromptRequest& request) {
    const QList<TPromptResult> list = PromptButtonList(request.Buttons);
    return list.contains(request.DefaultButton) ? request.DefaultButton : list.first();
}

TPromptResult PromptCautiousAnswer(TPromptButtons buttons) {
    const QList<TPromptResult> list = PromptButtonList(buttons);
    for (TPromptResult r : {TPromptResult::Cancel, TPromptResult::No, TPromptResult::Abort})
        if (list.contains(r)) return r;
    return TPromptResult::Ok;
}

void SetPromptButtonCaption(TPromptResult button, const QString& caption) {
    if (caption.isEmpty())
        Captions().remove(static_cast<int>(button));
    else
        Captions().insert(static_cast<int>(button), caption);
}

QString PromptButtonCaption(TPromptResult button) {
    return Captions().value(static_cast<int>(button));
}

TPromptService::~TPromptService() = default;

TPromptResult TPromptService::Message(const QString& text, TPromptIcon icon, TPromptButtons buttons,
                                      TPromptResult defaultButton) {
    TPromptRequest r;
    r.Text = text;
    r.Icon = icon;
    r.Buttons = buttons;
    r.DefaultButton = defaultButton;
    return Show(r);
}

TPromptResult TPromptService::Ask(const QString& text, TPromptButtons buttons, TPromptIcon icon,
                                  TPromptResult defaultButton) {
    return Message(text, icon, buttons, defaultButton);
}

TPromptService& Prompts() {
    return g_installed ? *g_installed : BuiltIn();
}

TPromptService* SetPrompts(TPromptService* service) {
    TPromptService* previous = g_installed;
    g_installed = service;
    return previous;
}

TPromptResult TScriptedPrompt::Show(const TPromptRequest& request) {
    const TPromptResult fallback = m_fallback == TFallback::DefaultButton
                                       ? PromptDefaultButton(request)
                                       : PromptCautiousAnswer(request.Buttons);
    TPromptResult answer = fallback;
    if (!m_queue.isEmpty()) {
        const TPromptResult queued = m_queue.takeFirst();
        if (PromptButtonList(request.Buttons).contains(queued))
            answer = queued;
        else
            m_errors.append(QStringLiteral("answer %1 to a box without that button: %2")
                                .arg(QLatin1String(ResultName(queued)), request.Text));
    }
    m_history.append({request, answer});
    return answer;
}

QStringList TScriptedPrompt::Texts() const {
    QStringList texts;
    for (const Shown& s : m_history)
        texts.append(s.Request.Text);
    return texts;
}

void TScriptedPrompt::Clear() {
    m_queue.clear();
    m_history.clear();
    m_errors.clear();
}
