// The program's commands: ids, menu texts, status-bar prompts and tooltips,
// the main menu, the list's context menu and the toolbar. Plain tables, so
// the program builds its menus from them and a reader can check every text
// at a glance. In a menu text '&' marks the mnemonic and '\t' comes before
// the shortcut text.
#pragma once

#include <span>

namespace zofrin::commands {

enum Id : int {
  kNone = 0,
  // The program's own commands.
  kAdd = 32771,
  kModify = 32772,
  kDelete = 32773,
  kCrop = 32774,
  kSelectAll = 32776,
  kInvertSelection = 32778,
  kFind = 32779,
  kExtractFromFiles = 32780,
  kUnselectAll = 32781,
  kCopySelected = 32782,
  kCopySelectedCommas = 32783,
  kGroupSize = 32784,
  kCopyGroup = 32785,
  kCopyGroupCommas = 32786,
  kListsOperations = 32787,
  kExtractFromClipboard = 32788,
  // Standard commands.
  kFileNew = 57600,
  kFileOpen = 57601,
  kFileSave = 57603,
  kFileSaveAs = 57604,
  kRecentFile1 = 57616,
  kRecentFile2 = 57617,
  kRecentFile3 = 57618,
  kRecentFile4 = 57619,
  kAbout = 57664,
  kExit = 57665,
  kHelpTopics = 57667,
  kContextHelp = 57669,
  kHelp = 57670,
  kDefaultHelp = 57671,
};

struct Command {
  Id id;
  const char* prompt;   // shown in the status bar while pointed at
  const char* tooltip;  // shown over the toolbar button
};

inline constexpr Command kCommands[] = {
    {kFileNew, "Create a new document", "New"},
    {kFileOpen, "Open an existing document", "Open"},
    {kFileSave, "Save the active document", "Save"},
    {kFileSaveAs, "Save the active document with a new name", "Save As"},
    {kRecentFile1, "Open this document", ""},
    {kRecentFile2, "Open this document", ""},
    {kRecentFile3, "Open this document", ""},
    {kRecentFile4, "Open this document", ""},
    {kExit, "Quit the application; prompts to save documents", "Exit"},
    {kAdd, "Add new adress to the list", "Add adress"},
    {kModify, "Edit selected adress", "Edit adress"},
    {kDelete, "Delete selected adresses from the list", "Delete adresses"},
    {kCrop, "Delete unselected adresses from the list", "Delete unselected"},
    {kSelectAll, "Select all adresses in the list", "Select all adresses"},
    {kUnselectAll, "Unselect all selected addresses", "Unselect all"},
    {kInvertSelection, "Change selection/unselection", "Change selection/unselection"},
    {kFind, "Find adress in the list", "Find adress"},
    {kCopySelected, "Copy selected addresses to Clipboard", "Copy to Clipboard"},
    {kCopySelectedCommas, "Copy selected addresses to Clipboard with commas", "Copy with commas"},
    {kGroupSize, "Set the maximum size of the address group", "Size of group"},
    {kCopyGroup, "Copy address group to Clipboard", "Copy group"},
    {kCopyGroupCommas, "Copy address group with commas to Clipboard", "Copy group with commas"},
    {kExtractFromFiles, "Extract adresses from files", "Extract from files"},
    {kExtractFromClipboard, "Extract addresses from Clipboard", "Extract from Clipboard"},
    {kListsOperations, "Operations with lists of addresses", "Lists operations"},
    {kHelpTopics, "", ""},
    {kContextHelp, "Click here for context sensitive help", "Context Help"},
    {kAbout, "Display program information, version number and copyright", "About"},
    {kHelp, "", ""},
    {kDefaultHelp, "", ""},
};

// A menu: items in order. An item with id kNone is a separator; the item
// kRecentFile1 stands for the recent-file list ("Recent File" while empty).
struct MenuItem {
  Id id;
  const char* text;
};
struct Menu {
  const char* title;
  std::span<const MenuItem> items;
};

inline constexpr MenuItem kFileMenu[] = {
    {kFileNew, "&New\tCtrl+N"},
    {kFileOpen, "&Open...\tCtrl+O"},
    {kFileSave, "&Save\tCtrl+S"},
    {kFileSaveAs, "Save &As..."},
    {kNone, nullptr},
    {kRecentFile1, "Recent File"},
    {kNone, nullptr},
    {kExit, "E&xit"},
};
inline constexpr MenuItem kEditMenu[] = {
    {kAdd, "&Add..."},
    {kModify, "&Modify..."},
    {kDelete, "&Delete"},
    {kCrop, "&Crop"},
};
inline constexpr MenuItem kSelectMenu[] = {
    {kSelectAll, "&Select all"},
    {kUnselectAll, "&Unselect All "},
    {kInvertSelection, "&Invert selection"},
    {kNone, nullptr},
    {kFind, "&Find..."},
};
inline constexpr MenuItem kInsertMenu[] = {
    {kCopySelected, "&Copy selected addresses to Clipboard"},
    {kCopySelectedCommas, "C&opy selected addresses(with commas)"},
    {kNone, nullptr},
    {kGroupSize, "&Size of address group"},
    {kCopyGroup, "Copy &group to Clipboard"},
    {kCopyGroupCommas, "Copy g&roup (with commas)"},
};
inline constexpr MenuItem kExtractMenu[] = {
    {kExtractFromFiles, "Ex&tract adresses from files..."},
    {kExtractFromClipboard, "Ext&ract addresses from Clipboard"},
};
inline constexpr MenuItem kListsMenu[] = {
    {kListsOperations, "Lists &operations..."},
};
inline constexpr MenuItem kHelpMenu[] = {
    {kHelpTopics, "Help &Topics"},
    {kContextHelp, "&What's This?\tShift+F1"},
    {kNone, nullptr},
    {kAbout, "&About ..."},
};

inline constexpr Menu kMainMenu[] = {
    {"&File", kFileMenu},     {"&Edit", kEditMenu},       {"&Select", kSelectMenu},
    {"&Insert", kInsertMenu}, {"E&xtract", kExtractMenu}, {"&Lists", kListsMenu},
    {"&Help", kHelpMenu},
};

// The list's context menu.
inline constexpr MenuItem kContextMenu[] = {
    {kAdd, "Add..."},
    {kModify, "Modify..."},
    {kDelete, "Delete"},
    {kNone, nullptr},
    {kExtractFromClipboard, "Extract from CB"},
};

// Toolbar buttons, left to right; kNone is a separator.
inline constexpr Id kToolbar[] = {
    kFileNew,          kFileOpen,           kFileSave,          kNone,
    kAdd,              kModify,             kDelete,            kCrop,
    kNone,             kSelectAll,          kUnselectAll,       kNone,
    kCopySelected,     kCopySelectedCommas, kCopyGroup,         kCopyGroupCommas,
    kNone,             kExtractFromFiles,   kExtractFromClipboard, kNone,
    kListsOperations,  kNone,               kHelpTopics,
};

inline const Command* Find(Id id) {
  for (const Command& command : kCommands) {
    if (command.id == id) return &command;
  }
  return nullptr;
}

}  // namespace zofrin::commands
