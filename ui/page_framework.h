// The page sequence of the wizard.
#pragma once

// Shows page id (-1 ends the run by destroying the main window). Raises a
// resource error when the page can't be created.
void ShowPage(int id, bool backwards);

// Destroys every page that was created.
void DestroyPages();
