// SPDX-License-Identifier: MIT
// A tool window that works on the document: it opens on the document's picture, control size and zoom, and
// its "Ok" writes one change of the document.
#pragma once

struct StepRecipe;

class DocumentTool {
public:
    virtual ~DocumentTool() = default;

    // Readies the window on the document as it is now, reading what it needs from the document itself; the
    // window is shown modally afterwards. The window's own settings stay as the user last left them.
    virtual void openOnDocument() = 0;
    // "Edit again": after openOnDocument(), sets every control and the placed element as they were when the
    // step `recipe` was made, so that "Ok" makes the same step again.
    virtual void applyRecipe(const StepRecipe& recipe) = 0;

protected:
    DocumentTool() = default;
    DocumentTool(const DocumentTool&) = default;
    DocumentTool& operator=(const DocumentTool&) = default;
};
