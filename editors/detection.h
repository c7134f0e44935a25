// Finds the supported word processors installed on this machine.
#pragma once

class CInstallApp;

// Runs the nine detection steps in their order and sets the editor-present
// flags and paths of the run.
void DetectEditors(CInstallApp& app);
