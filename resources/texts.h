// Every text of the program that a user reads, in one place.
// Texts are bytes in the program's code page (Windows-1252); "%1" and "%2"
// are filled in by the caller.
#pragma once

namespace zofrin::texts {

inline constexpr char kAppName[] = "Zofrin";

// List-file failures.
inline constexpr char kUnexpectedFileFormat[] = "Unexpected file format.";
inline constexpr char kFailedToOpenDocument[] = "Failed to open document.";
inline constexpr char kFailedToSaveDocument[] = "Failed to save document.";

// File error texts by cause.
inline constexpr char kFileErrorNone[] = "No error occurred.";
inline constexpr char kFileErrorGeneric[] = "An unknown error occurred while accessing %1.";
inline constexpr char kFileErrorNotFound[] = "%1 was not found.";
inline constexpr char kFileErrorBadPath[] = "%1 contains an invalid path.";
inline constexpr char kFileErrorTooManyOpen[] =
    "%1 could not be opened because there are too many open files.";
inline constexpr char kFileErrorAccessDenied[] = "Access to %1 was denied.";
inline constexpr char kFileErrorInvalidFile[] = "An invalid file handle was associated with %1.";
inline constexpr char kFileErrorRemoveCurrentDir[] =
    "%1 could not be removed because it is the current directory.";
inline constexpr char kFileErrorDirectoryFull[] =
    "%1 could not be created because the directory is full.";
inline constexpr char kFileErrorBadSeek[] = "Seek failed on %1";
inline constexpr char kFileErrorHardIo[] = "A hardware I/O error was reported while accessing %1.";
inline constexpr char kFileErrorSharingViolation[] =
    "A sharing violation occurred while accessing %1.";
inline constexpr char kFileErrorLockViolation[] = "A locking violation occurred while accessing %1.";
inline constexpr char kFileErrorDiskFull[] = "Disk full while accessing %1.";
inline constexpr char kFileErrorEndOfFile[] = "An attempt was made to access %1 past its end.";

// Count lines.
inline constexpr char kAddressCountPrefix[] = "Number of addresses: ";
inline constexpr char kFileCountPrefix[] = "Number of files: ";

// Address commands.
inline constexpr char kAddCaption[] = "Add new Email adress";
inline constexpr char kModifyCaption[] = "Modify Email address";
inline constexpr char kFindCaption[] = "Find Email address";
inline constexpr char kEnterAddress[] = "Enter Email address:";
inline constexpr char kGroupSizeCaption[] = "Size of address group";
inline constexpr char kGroupSizePrompt[] =
    "Set the maximum size of address group to copy into the Clipboard (from 1 to 32767)";
inline constexpr char kInvalidAddressConfirm[] =
    "This address is not a valid Email address!\nAre you sure to add it into the list?";
inline constexpr char kInvalidAddressNotice[] = "This address is not a valid Email address!";
inline constexpr char kSelectOneAddress[] = "You must select exactly only one Email address!";
inline constexpr char kGroupStart[] = "Select initial address to \nbegin the address group copy!";
inline constexpr char kGroupExhausted[] =
    "The last portion of addresses was copied.\nThe address list is exhausted!";
inline constexpr char kSplitNeedsOneItem[] =
    "You must select exectly only \none item for list spliting!";

// Application frame and document life cycle.
inline constexpr char kReady[] = "Ready";
inline constexpr char kUntitled[] = "Untitled";
inline constexpr char kTitleSeparator[] = " - ";
inline constexpr char kSaveChanges[] = "Save changes to %1?";
inline constexpr char kFailedToCreateDocument[] = "Failed to create empty document.";
inline constexpr char kOpenTitle[] = "Open";
inline constexpr char kSaveAsTitle[] = "Save As";
inline constexpr char kListFilter[] = "Email Files (*.lse)";
inline constexpr char kAllFilesFilter[] = "All Files (*.*)";
inline constexpr char kDefaultExtension[] = ".LSE";
inline constexpr char kRecentFilePlaceholder[] = "Recent File";
inline constexpr char kComingSoon[] = "This command will come soon.";
inline constexpr char kAboutCaption[] = "About Zofrin";
inline constexpr char kAboutVersion[] = "Zofrin Version 1.0";
inline constexpr char kOk[] = "OK";
inline constexpr char kCancel[] = "Cancel";
inline constexpr char kInternalError[] = "Internal application error.";
inline constexpr char kCommandFailed[] = "Command failed.";
inline constexpr char kHelpCaption[] = "Zofrin Help";
inline constexpr char kDocumentTypeName[] = "Zofrin Document";
inline constexpr char kNoDisplay[] =
    "Zofrin needs a graphical display, and none was found (DISPLAY is not set).\n"
    "To run it without one, start it under a virtual X server:\n"
    "  xvfb-run -a zofrin [FILE]";

inline constexpr char kMainListHelp[] =
    "The addresses of the list, sorted. Click to select one, Shift+click to select a range, "
    "Ctrl+click to add or remove one.";

// The extraction dialog.
inline constexpr char kExtractCaption[] = "Extracting Email addresses from files...";
inline constexpr char kFilesToProcess[] = "Files to process";
inline constexpr char kExtractedAddresses[] = "Extracted addresses";
inline constexpr char kSelect[] = "Select";
inline constexpr char kRemove[] = "Remove";
inline constexpr char kRemoveAll[] = "Remove All";
inline constexpr char kExtract[] = "Extract";
inline constexpr char kTransfer[] = "Transfer";
inline constexpr char kAllFilesType[] = "All files(*.*)";
inline constexpr char kHtmlFilesType[] = "HTML files(*.html,*.htm)";
inline constexpr char kTextFilesType[] = "Text files(*.txt)";
inline constexpr char kExtractProgress[] = "Extracting addresses...";
inline constexpr char kReadingFile[] = "Reading %1\n%2";

// The lists dialog.
inline constexpr char kListsCaption[] = "Operations with lists...";
inline constexpr char kLoad[] = "Load...";
inline constexpr char kListFilesType[] = "Zofrin List files (*.lse)";
inline constexpr char kShiftGroup[] = "Shifting lists between working windows";
inline constexpr char kList1[] = "List 1";
inline constexpr char kList2[] = "List 2";
inline constexpr char kList3[] = "List 3";

// The program's own message boxes.
inline constexpr char kInformationCaption[] = "Information";
inline constexpr char kConfirmationCaption[] = "Confirmation";

// Dialog field validation.
inline constexpr char kMaxCharacters[] = "Please enter no more than %1 characters.";
inline constexpr char kEnterInteger[] = "Please enter an integer.";
inline constexpr char kEnterIntegerBetween[] = "Please enter an integer between %1 and %2.";

}  // namespace zofrin::texts
