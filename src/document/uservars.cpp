#include "document/uservars.h"

#include "platform/messages.h"
#include "platform/prompt.h"

int FindUserVariable(const TUserVariables& list, const QString& name) {
    for (int i = 0; i < list.size(); ++i)
        if (list[i].Name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

TUserVariableMerger::TUserVariableMerger(TUserVariables& list) : m_list(list) {
    for (int i = 0; i < list.size(); ++i) m_index.insert(list[i].Name.toCaseFolded(), i);
}

void TUserVariableMerger::Merge(const QString& entry) {
    const qsizetype bar = entry.indexOf(QLatin1Char('|'));
    if (bar < 0) return;
    const QString name = entry.left(bar).trimmed();
    const QString value = entry.mid(bar + 1);
    if (name.isEmpty()) return;
    const QString key = name.toCaseFolded();
    const auto found = m_index.constFind(key);
    if (found == m_index.constEnd()) {
        m_index.insert(key, int(m_list.size()));
        m_list.append({name, value});
        return;
    }
    TUserVariable& known = m_list[*found];
    if (known.Value == value) return;
    const QString question = QStringLiteral("\"%1\" : %2\r\r%3 (\"%4\")")
                                 .arg(name, GetMessage(5008), GetMessage(5009), value);
    if (Prompts().Ask(question, TPromptButtons::YesNo) == TPromptResult::Yes) known.Value = value;
}

QString ReplaceUserVariables(const QString& text, const TUserVariables& list) {
    QString out = text;
    for (const TUserVariable& v : list) {
        if (v.Name.isEmpty()) continue;
        out.replace(QLatin1Char('<') + v.Name + QLatin1Char('>'), v.Value, Qt::CaseInsensitive);
    }
    return out;
}
