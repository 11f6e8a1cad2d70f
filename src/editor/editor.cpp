#include "editor/editor.h"

#include <algorithm>
#include <cmath>

TUndoHistory::~TUndoHistory() = default;

TEditor::TEditor() : m_undo(std::make_unique<TUndoHistory>()) {}

TEditor::~TEditor() = default;

bool TEditor::HasFormSheet() const {
    return std::any_of(Elements.begin(), Elements.end(),
                       [](const TElementPtr& e) { return e->FormLayer; });
}

void TEditor::GatherFormLayer() {
    std::stable_partition(Elements.begin(), Elements.end(),
                          [](const TElementPtr& e) { return e->FormLayer; });
}

void TEditor::SetFormSheetEditing(bool on) {
    GatherFormLayer();
    FormSheetEditing = on;
}

void TEditor::DeleteFormSheetElements() {
    std::erase_if(Elements, [](const TElementPtr& e) { return e->FormLayer; });
}

void TEditor::SetUndoHistory(std::unique_ptr<TUndoHistory> history) {
    m_undo = history ? std::move(history) : std::make_unique<TUndoHistory>();
}
