// Finds the supported word processors installed on this machine. Each step
// looks in one place only (a private profile file of the editor or a
// registry value its set-up wrote), derives the path of the editor's program
// or folder and counts the editor as present only when that path exists.
// Nothing here writes anything.
#pragma once

class CInstallApp;

// Runs the nine steps in their order and fills the app's editor rows: the
// present flags and the paths kept for configuring the editors.
void DetectEditors(CInstallApp& app);

// The steps, each clearing its flag (and its path) first.
void DetectWordPerfect5(CInstallApp& app);
void DetectWordPerfect6(CInstallApp& app);   // after DetectWordPerfect8
void DetectWordPerfect8(CInstallApp& app);
void DetectWord6(CInstallApp& app);
void DetectWord7(CInstallApp& app);
void DetectWord97(CInstallApp& app);
void DetectWord2000(CInstallApp& app);
void DetectAmiPro(CInstallApp& app);          // after DetectWordPro
void DetectWordPro(CInstallApp& app);
