#include "ui/dictionary_backup.h"

#include "errors/x_exception.h"
#include "platform/path.h"
#include "platform/resource_string.h"
#include "resources/resource.h"

namespace {

// Windows Help rebuilds these; they would only keep the folder from going.
const char* const kHelpIndexes[] = {
    "ManualEs.gid", "ManualEs.fts", "ManualEs.ftg", "ovcagr40.gid", "ovcagr40.fts",
    "ovcagr40.ftg", "ovesgr40.gid", "ovesgr40.fts", "ovesgr40.ftg", "manualCa.gid",
    "manualCa.fts", "manualCa.ftg", "problemas.gid", "problemas.fts", "problemas.ftg",
    "problemes.gid", "problemes.fts", "problemes.ftg",
};

// The terms to ignore, then the user's own dictionary.
const char* const kDictionaries[] = {"ovsalca4.dbc", "ovusuca4.dbc"};

} // namespace

bool CDictionaryBackup::Run(HWND owner)
{
    m_proceed = false;
    if (DoModal(owner) == -1)
        throw CXResourceException();
    return m_proceed;
}

bool CDictionaryBackup::OnInitDialog()
{
    CentreOnOwner();
    return true;
}

bool CDictionaryBackup::OnCommand(int id, int code, HWND control)
{
    switch (id) {
    case IDOK:
        m_proceed = false;
        deleteHelpIndexes();
        if (!copyDictionaries())
            return true;  // the user stays here and chooses again
        deleteDictionaries();
        break;
    case IDC_BACKUP_CONTINUE:
        deleteHelpIndexes();
        deleteDictionaries();
        break;
    case IDCANCEL:
        m_proceed = false;
        EndDialog(m_hwnd, 0);
        return true;
    default:
        return false;
    }
    m_proceed = true;
    EndDialog(m_hwnd, 1);
    return true;
}

void CDictionaryBackup::deleteHelpIndexes() const
{
    if (m_installFolder.empty())
        return;
    for (const char* name : kHelpIndexes)
        CPath(m_installFolder + name).remove();
}

void CDictionaryBackup::deleteDictionaries() const
{
    if (m_installFolder.empty())
        return;
    for (const char* name : kDictionaries)
        CPath(m_installFolder + name).remove();
}

bool CDictionaryBackup::copyDictionaries()
{
    if (m_installFolder.empty())
        return true;
    for (const char* name : kDictionaries) {
        CPath source(m_installFolder + name);
        if (!source.exists())
            continue;
        std::string copy = m_floppyFolder + name;
        while (!CopyFileA(source.text().c_str(), copy.c_str(), FALSE)) {
            int answer = MessageBoxA(m_hwnd, LoadResourceString(IDS_BACKUP_RETRY).c_str(),
                                     LoadResourceString(IDS_BACKUP_CAPTION).c_str(),
                                     MB_YESNO | MB_ICONQUESTION);
            if (answer != IDYES)
                return false;
        }
    }
    return true;
}
