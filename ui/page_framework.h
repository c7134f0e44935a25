// The page sequence of the wizard: a registry of pages by id, created on
// first use and destroyed in the exit step.
#pragma once

#include <windows.h>

#include <memory>

class CPage;

// Shows page id, skipping pages that decline; kEndOfRun ends the run by
// destroying the main window (or, without one, by quitting), kNoPage leaves
// the run where it is (both in ui/page.h). Raises a resource error when a
// page can't be created.
void ShowPage(int id, bool backwards);

// The page shown last; null before the first.
CPage* CurrentPage();

// The registered page with that id, or null.
CPage* FindPage(int id);

// Registers a page made elsewhere under its own id, in place of the
// factory's; the pages of a run all come from the factory.
void RegisterPage(std::unique_ptr<CPage> page);

// Runs the work that a page without a window posted to the thread; false
// for any other message.
bool RunPostedPageWork(const MSG& msg);

// Destroys every page that was created.
void DestroyPages();

// Makes the page for an id (the factory); null for an id it doesn't know.
std::unique_ptr<CPage> CreatePage(int id);
