#pragma once

#include "document/document.h"
#include "document/fileformat.h"
#include "platform/prompt.h"
#include "testtypes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A temporary folder, the test element types and scripted prompts for every test.
class DocumentFixture : public ::testing::Test {
protected:
    QTemporaryDir dir;
    TTestTypes types;
    TScriptedPrompt prompts;
    TScopedPrompts promptScope{prompts};

    QString Path(const QString& name) const { return dir.filePath(name); }
    QString Write(const QString& name, const QByteArray& bytes) const {
        QFile f(Path(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return Path(name);
    }
    QByteArray Read(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
};

// An undo history with a given number of steps that notes when it is cleared.
class TFakeUndo : public TUndoHistory {
public:
    explicit TFakeUndo(int steps, int* clears = nullptr) : m_steps(steps), m_clears(clears) {}
    bool HasSteps() const override { return m_steps > 0; }
    void Clear() override {
        m_steps = 0;
        if (m_clears) ++*m_clears;
    }

private:
    int m_steps;
    int* m_clears;
};

inline TTestShape& AddShape(TEditor& sheet, qint32 value, bool formLayer = false) {
    auto e = std::make_unique<TTestShape>();
    e->Value = value;
    e->FormLayer = formLayer;
    TTestShape& ref = *e;
    sheet.Elements.push_back(std::move(e));
    return ref;
}

inline std::vector<qint32> Values(const TEditor& sheet) {
    std::vector<qint32> v;
    for (const auto& e : sheet.Elements)
        if (auto* s = dynamic_cast<const TTestShape*>(e.get())) v.push_back(s->Value);
    return v;
}
