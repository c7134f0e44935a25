// The supported word processors, one row each: how the program names an
// editor, and what a run finds of it. The application object owns the rows
// of a run; detection fills them, the editors page ticks them, configuration
// and the product record read them.
#pragma once

#include <array>
#include <string>

// The editors, in the order of their rows.
enum CEditorId {
    kEditorWP5, kEditorWP6, kEditorWP8, kEditorWord6, kEditorWord7, kEditorWord97,
    kEditorWord2000, kEditorAmiPro, kEditorWordPro, kEditorCount
};

struct CEditor {
    CEditor(CEditorId id, const char* groupName, const char* recordKey, const char* displayName,
            const char* choiceName = nullptr)
        : id(id), groupName(groupName), recordKey(recordKey), displayName(displayName),
          choiceName(choiceName) {}

    CEditorId id;
    // The profile's file group that holds its files.
    const char* groupName;
    // Its subkey of the product record and the name written there.
    const char* recordKey;
    const char* displayName;
    // The value of its subkey that keeps `choice`; null when there is none.
    const char* choiceName;

    // Found on this machine by detection.
    bool found = false;
    // Found, or offered by hand, and ticked with its files copied: to be
    // configured.
    bool present = false;
    // The program, server or program folder detection found.
    std::string path;
    // Word 7.0's startup folder as its settings record it.
    std::string startupFolder;
    // What its configuration chose, kept in the product record for the undo
    // step: WordPerfect 8.0's extension slot ("DLL3"), Word 2000's startup
    // folder.
    std::string choice;
    // The topmost registry key its configuration made for the setting it
    // writes (WordPerfect 8.0's extension list, Word 97's startup path: for
    // a value made in a key that was there, that key), so that the undo
    // takes it away again once it holds nothing else. Kept in the product
    // record as "CREATED", which a later installation that finds the
    // setting made leaves as it is.
    std::string createdKey;
};

// The name of the product record's value that keeps createdKey.
constexpr const char* kCreatedKeyValue = "CREATED";

using CEditorTable = std::array<CEditor, kEditorCount>;

// The rows before detection: nothing found yet.
inline CEditorTable EditorTable()
{
    return {{
        {kEditorWP5, "WP5", "WP5", "WordPerfect 5.x"},
        {kEditorWP6, "WP6", "WP6", "WordPerfect 6.x"},
        {kEditorWP8, "WP8", "WP8", "WordPerfect 8.0", "TPH"},
        {kEditorWord6, "Word6", "WORD6", "Word 6.0"},
        {kEditorWord7, "Word7", "WORD7", "Word 7.0"},
        {kEditorWord97, "Word97", "WORD8", "Word 97"},
        {kEditorWord2000, "Word2000", "WORD9", "Word 2000", "Path"},
        {kEditorAmiPro, "Amipro", "AMIPRO", "AmiPro 3.x"},
        {kEditorWordPro, "WordPro", "WORDPRO", "WordPro 97"},
    }};
}

// The editor whose files a file group holds; null for any other group.
inline CEditor* EditorOfGroup(CEditorTable& editors, const std::string& groupName)
{
    for (CEditor& editor : editors)
        if (groupName == editor.groupName)
            return &editor;
    return nullptr;
}
