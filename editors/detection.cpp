#include "editors/detection.h"

#include "app/install_app.h"

void DetectEditors(CInstallApp& app)
{
    // No word processor is recognised yet: every presence flag stays clear,
    // so start-up offers the manual installation.
    app.editorPresent.fill(false);
}
