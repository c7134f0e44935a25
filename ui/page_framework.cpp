#include "ui/page_framework.h"

#include "app/install_app.h"
#include "errors/x_exception.h"
#include "platform/message_pump.h"
#include "ui/main_wnd.h"
#include "ui/page.h"

#include <map>

namespace {

struct CPageRegistry {
    std::map<int, std::unique_ptr<CPage>> pages;
    CPage* current = nullptr;
};

CPageRegistry& registry()
{
    static CPageRegistry r;
    return r;
}

CPage* findOrCreate(int id)
{
    auto& pages = registry().pages;
    auto found = pages.find(id);
    if (found != pages.end())
        return found->second.get();
    std::unique_ptr<CPage> page = CreatePage(id);
    if (!page)
        throw CXResourceException();
    // A factory may answer with another page (106 gives the copy page when
    // an earlier installation is known); it is kept under its own id.
    int ownId = page->pageId;
    auto& slot = pages[ownId];
    if (!slot)
        slot = std::move(page);
    return slot.get();
}

void endRun()
{
    CInstallApp& app = CInstallApp::get();
    if (app.mainWnd)
        app.mainWnd->Destroy();
    else
        PostQuit(0);
}

} // namespace

void ShowPage(int id, bool backwards)
{
    CPageRegistry& r = registry();
    CPage* page = nullptr;
    // A page that declines hands over to its neighbour; the walk is bounded
    // so pages that all decline can't keep it going.
    for (int step = 0; step < 64; ++step) {
        if (id == kEndOfRun) {
            endRun();
            return;
        }
        if (id == kNoPage)
            return;  // no neighbour to go to: stay where the run is
        page = findOrCreate(id);
        if (page->ShouldShow())
            break;
        id = backwards ? page->prev : page->next;
        page = nullptr;
    }
    if (!page) {
        endRun();
        return;
    }
    if (!backwards && page->prev == kNoPage && r.current && r.current != page)
        page->prev = r.current->pageId;
    CInstallApp::get().Trace("Page " + std::to_string(page->pageId) + (backwards ? " (back)" : ""));

    CPage* previous = r.current;
    if (!page->Present())
        throw CXResourceException();
    r.current = page;
    if (previous && previous != page) {
        previous->left = true;
        previous->Hide();
    }
}

CPage* CurrentPage()
{
    return registry().current;
}

CPage* FindPage(int id)
{
    auto& pages = registry().pages;
    auto found = pages.find(id);
    return found == pages.end() ? nullptr : found->second.get();
}

bool RunPostedPageWork(const MSG& msg)
{
    if (msg.message != kPageWorkMessage)
        return false;
    if (CPage* page = FindPage(static_cast<int>(msg.lParam)))
        page->RunWork();
    return true;
}

void RegisterPage(std::unique_ptr<CPage> page)
{
    int id = page->pageId;
    registry().pages[id] = std::move(page);
}

void DestroyPages()
{
    CPageRegistry& r = registry();
    r.current = nullptr;
    r.pages.clear();
}
