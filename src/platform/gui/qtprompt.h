#pragma once

#include "platform/prompt.h"

// Qt message boxes: application-modal (nothing else of the program takes input while one is
// open), parented to the active window so they appear above it.
class TQtPrompt : public TPromptService {
public:
    TPromptResult Show(const TPromptRequest& request) override;
};
